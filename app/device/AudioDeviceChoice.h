// Which audio device the app opens: the automatic choice (JACK when a server runs, otherwise the
// default ALSA device), or a device by name.
#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <optional>
#include <ostream>
#include <string>

namespace app {

struct AudioDeviceChoice {
  std::string type; // "JACK", "ALSA"; empty: any type that has the name
  std::string name; // an output device of that type; empty: the automatic choice
  bool operator==(const AudioDeviceChoice&) const = default;
};

// Opens the chosen output device on manager (stereo, no inputs). A named device that does not
// exist is an error, so is no device at all. Empty on success, otherwise the reason. Message
// thread; the manager must have no device open.
std::string openAudioDevice(juce::AudioDeviceManager& manager, const AudioDeviceChoice& choice);

// Every audio output device by type, the ALSA MIDI inputs and the JACK MIDI outputs the app can
// listen to, one per line: "audio<TAB>TYPE<TAB>NAME", "midi<TAB>TYPE<TAB>NAME". Message thread.
void listDevices(juce::AudioDeviceManager& manager, std::ostream& out);

} // namespace app
