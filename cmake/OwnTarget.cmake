# Settings every target of our own code shares: strict warnings, exact floating point, headers
# named from the repository root. Which headers a target may use is what it links;
# scripts/check-layers checks that against what the compiler included.
function(orrinbrook_own_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # The engines must match models written from the same arithmetic, so no fused
  # multiply-adds behind our back.
  target_compile_options(${target} PRIVATE -ffp-contract=off)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(ORRINBROOK_COVERAGE_IGNORELIST)
    file(MD5 ${ORRINBROOK_COVERAGE_IGNORELIST} digest)
    target_compile_definitions(${target} PRIVATE ORRINBROOK_COVERAGE_IGNORELIST_DIGEST=${digest})
  endif()
  set_property(GLOBAL APPEND PROPERTY ORRINBROOK_OWN_TARGETS ${target})
endfunction()

# Writes own-targets.txt into the build folder, a line per own target:
# name|folder of its first source|LINK_LIBRARIES|INTERFACE_LINK_LIBRARIES. Call once, last.
function(orrinbrook_export_own_targets)
  get_property(targets GLOBAL PROPERTY ORRINBROOK_OWN_TARGETS)
  set(lines "")
  foreach(target IN LISTS targets)
    get_target_property(sources ${target} SOURCES)
    get_target_property(sourceDir ${target} SOURCE_DIR)
    list(GET sources 0 first)
    cmake_path(ABSOLUTE_PATH first BASE_DIRECTORY ${sourceDir})
    cmake_path(GET first PARENT_PATH folder)
    cmake_path(RELATIVE_PATH folder BASE_DIRECTORY ${PROJECT_SOURCE_DIR})
    get_target_property(links ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    string(APPEND lines "${target}|${folder}|${links}|${interface}\n")
  endforeach()
  file(WRITE ${PROJECT_BINARY_DIR}/own-targets.txt "${lines}")
endfunction()
