// Reading and writing the app's settings file.
#include "app/host/AppSettings.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/PropertyList.h"

#include <limits>
#include <system_error>

namespace app {

namespace {

using foundation::PropertyList;

// The help flag keeps the name the app has always used for it.
constexpr const char* kHasShownHelp = "QuorvaneHasShownHelpMac";
constexpr const char* kAudioDeviceType = "AudioDeviceType";
constexpr const char* kAudioDeviceName = "AudioDeviceName";
constexpr const char* kMidiInput = "MidiInput";
constexpr const char* kWindowWidth = "WindowWidth";
constexpr const char* kWindowHeight = "WindowHeight";
// Settings are a few hundred bytes; anything far larger is not ours.
constexpr std::size_t kMaxFileBytes = 1 << 16;
constexpr std::int64_t kMaxWindowSide = 1 << 15;

std::optional<std::string> stringAt(const PropertyList& root, const char* key) {
  const PropertyList* value = root.find(key);
  if (value == nullptr || value->string() == nullptr)
    return std::nullopt;
  return *value->string();
}

std::optional<int> sideAt(const PropertyList& root, const char* key) {
  const PropertyList* value = root.find(key);
  const auto side = value != nullptr ? value->integer() : std::nullopt;
  if (!side || *side <= 0 || *side > kMaxWindowSide)
    return std::nullopt;
  return static_cast<int>(*side);
}

} // namespace

AppSettings AppSettings::read(const std::filesystem::path& file) {
  AppSettings settings;
  const auto bytes = foundation::readWholeFile(file, kMaxFileBytes);
  if (!bytes)
    return settings;
  const auto parsed = PropertyList::read(*bytes);
  if (!parsed.value || parsed.value->dictionary() == nullptr)
    return settings;
  const PropertyList& root = *parsed.value;
  if (const PropertyList* help = root.find(kHasShownHelp))
    settings.hasShownHelp = help->boolean().value_or(false);
  settings.audioDeviceType = stringAt(root, kAudioDeviceType);
  settings.audioDeviceName = stringAt(root, kAudioDeviceName);
  settings.midiInput = stringAt(root, kMidiInput);
  settings.windowWidth = sideAt(root, kWindowWidth);
  settings.windowHeight = sideAt(root, kWindowHeight);
  return settings;
}

bool AppSettings::write(const std::filesystem::path& file, std::string* error) const {
  PropertyList::Dictionary root;
  root.emplace(kHasShownHelp, hasShownHelp);
  if (audioDeviceType)
    root.emplace(kAudioDeviceType, *audioDeviceType);
  if (audioDeviceName)
    root.emplace(kAudioDeviceName, *audioDeviceName);
  if (midiInput)
    root.emplace(kMidiInput, *midiInput);
  if (windowWidth)
    root.emplace(kWindowWidth, *windowWidth);
  if (windowHeight)
    root.emplace(kWindowHeight, *windowHeight);
  std::error_code created;
  std::filesystem::create_directories(file.parent_path(), created);
  if (created) {
    if (error != nullptr)
      *error = created.message();
    return false;
  }
  return foundation::writeFileAtomically(file, PropertyList(std::move(root)).toXML(), error);
}

} // namespace app
