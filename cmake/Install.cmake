# Where an install puts things, as Debian's audio packages do: the programs in bin, the plug-in
# bundles (each self-contained) in lib/lv2 and lib/vst3, the resources the programs share once
# in share/orrinbrook (found from bin/ as ../share/orrinbrook, so any prefix works), the desktop
# entry, icon, AppStream metadata and manual pages where desktops and man look. Two components:
# "plugins" (the bundles alone, for make install-plugins) and "programs" (the rest).
# Only the JUCE build has programs and plug-ins to install.
if(NOT ORRINBROOK_WITH_JUCE)
  return()
endif()

set(ORRINBROOK_APP_ID org.orrinbrook.Quorvane)
set(ORRINBROOK_SHARE ${CMAKE_INSTALL_DATADIR}/orrinbrook)

install(TARGETS quorvane quorvane-render pallix-render editor-snapshot
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
# Both units' resources merge into one folder, as beside the programs in the build tree.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/QuorvaneAU/resources/ ${PROJECT_SOURCE_DIR}/PallixAU/resources/
        DESTINATION ${ORRINBROOK_SHARE} COMPONENT programs)

# The shared objects as targets, so that --strip and the package strip them; the rest of each
# bundle as it is built.
foreach(plugin Quorvane Pallix)
  string(TOLOWER ${plugin} id)
  install(TARGETS ${id}_lv2_plugin ${id}_lv2_ui
          LIBRARY DESTINATION lib/lv2/${plugin}.lv2 COMPONENT plugins)
  install(DIRECTORY ${PROJECT_BINARY_DIR}/lv2/${plugin}.lv2
          DESTINATION lib/lv2 COMPONENT plugins PATTERN "*.so" EXCLUDE)
  install(TARGETS ${plugin}_VST3
          LIBRARY DESTINATION lib/vst3/${plugin}.vst3/Contents/x86_64-linux COMPONENT plugins)
  # JUCE builds X.vst3/Contents/x86_64-linux/X.so: the bundle is two folders up.
  install(DIRECTORY $<TARGET_FILE_DIR:${plugin}_VST3>/../../
          DESTINATION lib/vst3/${plugin}.vst3 COMPONENT plugins PATTERN "*.so" EXCLUDE)
endforeach()

set(desktop ${PROJECT_SOURCE_DIR}/app/desktop)
install(FILES ${desktop}/${ORRINBROOK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT programs)
install(FILES ${desktop}/${ORRINBROOK_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT programs)
install(FILES ${desktop}/${ORRINBROOK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE RENAME copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orrinbrook COMPONENT programs)
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" changelog ${desktop}/changelog ${changelog}
  DEPENDS ${desktop}/changelog VERBATIM)
add_custom_target(changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orrinbrook COMPONENT programs)

# Manual pages from each program's --help, so the two always agree; compressed as Debian ships
# them (-n leaves out the time, so builds repeat).
set(manuals "")
foreach(entry
    "quorvane|the Quorvane synthesiser and the Pallix blues generator in a window of their own"
    "quorvane-render|render a MIDI file through the Quorvane synthesiser"
    "pallix-render|render the Pallix blues generator to a MIDI file"
    "editor-snapshot|draw the Quorvane or Pallix editor into a PNG")
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 program)
  list(GET entry 1 summary)
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND sh -c "\"$1\" --help | \"$2\" \"$3\" \"$4\" \"$5\" | gzip -9n > \"$6\""
            manual $<TARGET_FILE:${program}> ${PROJECT_SOURCE_DIR}/scripts/help-to-man
            ${program} ${PROJECT_VERSION} ${summary} ${page}
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/scripts/help-to-man
    COMMENT "Manual page of ${program}"
    VERBATIM)
  list(APPEND manuals ${page})
endforeach()
add_custom_target(manual-pages ALL DEPENDS ${manuals})
install(FILES ${manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)

# make deb: one package of everything, under /usr, its dependencies from the libraries linked.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orrinbrook)
set(CPACK_PACKAGE_VENDOR Orrinbrook)
set(CPACK_PACKAGE_CONTACT "Orrinbrook <audio@orrinbrook.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "wavetable synthesiser and blues MIDI generator")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane is a 16-voice wavetable synthesiser with unison oscillators,\n"
    "a shared filter, delay, drive and velvet-noise reverb. Pallix is a MIDI\n"
    "generator that plays an endless 12-bar blues in step with the host's\n"
    "tempo. Both come as LV2 and VST3 plug-ins, with a standalone app that\n"
    "hosts them and command-line renderers.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://orrinbrook.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
