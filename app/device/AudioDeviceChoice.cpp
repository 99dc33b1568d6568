// Finding and opening the app's audio device.
#include "app/device/AudioDeviceChoice.h"

#include "app/device/JackMidiInput.h"

#include <array>

namespace app {

namespace {

// JACK first: JUCE asks for a server without starting one, so a JACK type without devices means
// no server runs, and ALSA's hardware is then free.
constexpr std::array<const char*, 2> kTypeOrder{"JACK", "ALSA"};

juce::AudioIODeviceType* findType(juce::AudioDeviceManager& manager, const juce::String& name) {
  for (auto* type : manager.getAvailableDeviceTypes())
    if (type->getTypeName() == name)
      return type;
  return nullptr;
}

juce::StringArray outputNames(juce::AudioIODeviceType& type) {
  type.scanForDevices();
  return type.getDeviceNames(false);
}

std::string open(juce::AudioDeviceManager& manager, const juce::String& type,
                 const juce::String& name) {
  juce::XmlElement setup("DEVICESETUP");
  setup.setAttribute("deviceType", type);
  setup.setAttribute("audioOutputDeviceName", name);
  setup.setAttribute("audioInputDeviceName", "");
  setup.setAttribute("audioDeviceInChans", "0");
  const juce::String error = manager.initialise(0, 2, &setup, false);
  if (error.isNotEmpty())
    return error.toStdString();
  if (manager.getCurrentAudioDevice() == nullptr)
    return "cannot open " + type.toStdString() + " device \"" + name.toStdString() + "\"";
  return {};
}

} // namespace

std::string openAudioDevice(juce::AudioDeviceManager& manager, const AudioDeviceChoice& choice) {
  JackMidiInput::silenceLibraryMessages();
  for (const char* typeName : kTypeOrder) {
    if (!choice.type.empty() && choice.type != typeName)
      continue;
    auto* type = findType(manager, typeName);
    if (type == nullptr)
      continue;
    const juce::StringArray names = outputNames(*type);
    if (names.isEmpty())
      continue;
    juce::String name;
    if (choice.name.empty())
      name = names[std::max(0, type->getDefaultDeviceIndex(false))];
    else if (names.contains(juce::String(choice.name)))
      name = juce::String(choice.name);
    else
      continue;
    return open(manager, typeName, name);
  }
  if (choice.name.empty())
    return "no audio output device (no JACK server runs and ALSA has no device)";
  return "no audio output device named \"" + choice.name + "\"";
}

void listDevices(juce::AudioDeviceManager& manager, std::ostream& out) {
  JackMidiInput::silenceLibraryMessages();
  for (const char* typeName : kTypeOrder)
    if (auto* type = findType(manager, typeName))
      for (const auto& name : outputNames(*type))
        // JUCE counts every JACK client as a device, the app's own MIDI port too.
        if (name != JackMidiInput::kClientName)
          out << "audio\t" << typeName << '\t' << name << '\n';
  for (const auto& device : juce::MidiInput::getAvailableDevices())
    out << "midi\tALSA\t" << device.name << '\n';
  for (const auto& port : JackMidiInput::sources())
    out << "midi\tJACK\t" << port << '\n';
}

} // namespace app
