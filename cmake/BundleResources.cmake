# Copies a unit's resources into the Resources folder beside a binary that contains the unit,
# where the unit's Bundle finds them.
function(orrinbrook_bundle_resources target source_dir)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${source_dir} $<TARGET_FILE_DIR:${target}>/Resources
    COMMENT "Resources for ${target}"
    VERBATIM)
endfunction()
