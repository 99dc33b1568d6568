// Every MIDI input the user plays into the synthesiser: ALSA sequencer devices, and a JACK MIDI
// port when the app plays through JACK.
#pragma once

#include "Quorvane/device/JackMidiInput.h"
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

// Threads: open and close on the message thread. Messages arrive on the devices' own threads
// and go straight into the schedule block at the immediate time: no lock, no allocation.
class HardwareMidiInputs final : private juce::MidiInputCallback {
public:
  explicit HardwareMidiInputs(AUScheduleMIDIEventBlock schedule);
  ~HardwareMidiInputs() override;

  // Opens the chosen inputs; with withJack, also the app's JACK port (connected to every JACK
  // MIDI source for "all", to the named one otherwise). Returns the names now listened to.
  std::vector<std::string> open(const MidiInputChoice& choice, bool withJack);
  void close();

private:
  void handleIncomingMidiMessage(juce::MidiInput* source,
                                 const juce::MidiMessage& message) override;

  AUScheduleMIDIEventBlock schedule_;
  std::vector<std::unique_ptr<juce::MidiInput>> inputs_;
  JackMidiInput jack_;
};

} // namespace app
