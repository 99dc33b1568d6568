// What the app remembers between runs: the first-launch help flag, the chosen devices and the
// window's size, in one XML property list (where: foundation::appSettingsFile()).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace app {

// A plain value. Fields that were never set, or that the file gives with a wrong kind, are
// empty, and the app uses its defaults for them.
struct AppSettings {
  bool hasShownHelp = false;
  std::optional<std::string> audioDeviceType; // "JACK", "ALSA"
  std::optional<std::string> audioDeviceName;
  std::optional<std::string> midiInput; // "all", "none" or a device name
  std::optional<int> windowWidth;
  std::optional<int> windowHeight;

  bool operator==(const AppSettings&) const = default;

  // The settings in file; defaults when it is missing, malformed or not a dictionary
  // (silently: a broken file only loses what it held, and the next write replaces it).
  static AppSettings read(const std::filesystem::path& file);
  // Replaces file atomically, creating its folder. False, with error, when it cannot.
  bool write(const std::filesystem::path& file, std::string* error = nullptr) const;
};

} // namespace app
