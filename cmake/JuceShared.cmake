# Builds the JUCE modules once, into the static library juce_shared that the app, tools and tests link.
find_package(JUCE CONFIG REQUIRED)

# Every JUCE module the suite uses, in one place: add a module here, not in a target.
set(ORRINBROOK_JUCE_MODULES
  juce_core
  juce_audio_basics
  juce_audio_formats
  juce_events
  juce_data_structures
  juce_graphics
  juce_gui_basics
  juce_audio_processors
  juce_audio_devices
  juce_audio_utils
)

add_library(juce_shared STATIC)

foreach(module IN LISTS ORRINBROOK_JUCE_MODULES)
  # PRIVATE keeps the module sources out of every consumer; only this library compiles them.
  target_link_libraries(juce_shared PRIVATE juce::${module})
endforeach()

target_link_libraries(juce_shared PRIVATE juce::juce_recommended_config_flags)
# Debian's JUCE draws images with the system's libpng and libjpeg; juce_add_* targets link them
# on their own, a plain library has to.
target_link_libraries(juce_shared PRIVATE juce::pkgconfig_JUCE_IMG_LINUX_DEPS)

target_compile_definitions(juce_shared PRIVATE
  JUCE_STANDALONE_APPLICATION=1
  JUCE_WEB_BROWSER=0
  JUCE_USE_CURL=0
  JUCE_LOAD_CURL_SYMBOLS_LAZILY=0
  JUCE_DISPLAY_SPLASH_SCREEN=0
  JUCE_REPORT_APP_USAGE=0
  # Debug builds would print the JUCE version on standard error, which is the tools' own.
  JUCE_DISABLE_JUCE_VERSION_PRINTING=1
  # WAV and AIFF are built in; the compressed formats would pull in more libraries.
  JUCE_USE_FLAC=0
  JUCE_USE_OGGVORBIS=0
  JUCE_USE_MP3AUDIOFORMAT=0
  JUCE_USE_LAME_AUDIO_FORMAT=0
  JUCE_USE_WINDOWS_MEDIA_FORMAT=0
  # The plug-in tests load our VST3 bundles through JUCE's own host; the VST3 client shares the
  # SDK code this compiles.
  JUCE_PLUGINHOST_VST3=1
  # The app plays through JACK when a JACK server runs (libjack is opened at run time), ALSA
  # otherwise.
  JUCE_JACK=1
)

# The app's audio client shows up in JACK under its own name (only this file reads it).
set_source_files_properties(${JUCE_MODULES_DIR}/juce_audio_devices/juce_audio_devices.cpp
  PROPERTIES COMPILE_DEFINITIONS "JUCE_JACK_CLIENT_NAME=\"Quorvane\"")

# Consumers see exactly the definitions and include folders the modules were compiled with
# (module availability, debug switches), so class layouts agree on both sides. The include
# folders are SYSTEM so JUCE's headers do not trip our own -Werror.
target_compile_definitions(juce_shared INTERFACE
  $<TARGET_PROPERTY:juce_shared,COMPILE_DEFINITIONS>)
target_include_directories(juce_shared SYSTEM INTERFACE
  $<TARGET_PROPERTY:juce_shared,INCLUDE_DIRECTORIES>)

# Plug-ins (shared objects) will link this library too: only what they export leaves them.
set_target_properties(juce_shared PROPERTIES
  VISIBILITY_INLINES_HIDDEN ON
  C_VISIBILITY_PRESET hidden
  CXX_VISIBILITY_PRESET hidden
)

# Third-party code: its warnings are not ours to fix, so keep the build log readable.
target_compile_options(juce_shared PRIVATE -w)

# juce_shared as code that plug-ins also hold sees it (the views, the plug-in adapter):
# juce_add_plugin defines JUCE_STANDALONE_APPLICATION itself, so the application's definition
# stays out of that code. No JUCE header reads it, so both sides agree on every class layout.
add_library(juce_shared_plugin INTERFACE)
target_link_libraries(juce_shared_plugin INTERFACE $<LINK_ONLY:juce_shared>)
target_include_directories(juce_shared_plugin SYSTEM INTERFACE
  $<TARGET_PROPERTY:juce_shared,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_definitions(juce_shared_plugin INTERFACE
  "$<FILTER:$<TARGET_PROPERTY:juce_shared,INTERFACE_COMPILE_DEFINITIONS>,EXCLUDE,^JUCE_STANDALONE_APPLICATION=>")
