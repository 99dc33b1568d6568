// Every MIDI input the user plays into the synthesiser: ALSA sequencer devices, and a JACK MIDI
// port when the app plays through JACK.
#pragma once

#include "app/device/JackMidiInput.h"
#include "platform/audiounit/RenderTypes.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>
#include <string>
#include <vector>

namespace app {

// Which inputs: every one, none, or the one with this name (an ALSA device, or a JACK port
// "client:port").
struct MidiInputChoice {
  enum class Kind { all, none, named };
  Kind kind = Kind::all;
  std::string name;
  bool operator==(const MidiInputChoice&) const = default;
};

// The ALSA inputs are the device manager's, so the settings dialog turns them on and off.
// Threads: open and close on the message thread. Messages arrive on the devices' own threads
// and go straight into the schedule block at the immediate time: no allocation and no lock of
// ours (JUCE's manager holds its callback lock around us).
class HardwareMidiInputs final : private juce::MidiInputCallback {
public:
  HardwareMidiInputs(juce::AudioDeviceManager& manager, AUScheduleMIDIEventBlock schedule);
  ~HardwareMidiInputs() override;

  // Enables the chosen ALSA inputs on the manager; with withJack, also opens the app's JACK port
  // (connected to every JACK MIDI source for "all", to the named one otherwise). Returns the
  // names now listened to.
  std::vector<std::string> open(const MidiInputChoice& choice, bool withJack);
  void close();

  // The choice the manager's enabled inputs now make (after the settings dialog).
  MidiInputChoice currentChoice() const;

private:
  void handleIncomingMidiMessage(juce::MidiInput* source,
                                 const juce::MidiMessage& message) override;

  juce::AudioDeviceManager& manager_;
  AUScheduleMIDIEventBlock schedule_;
  JackMidiInput jack_;
  MidiInputChoice jackChoice_{MidiInputChoice::Kind::none, {}};
};

} // namespace app
