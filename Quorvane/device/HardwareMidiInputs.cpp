// Opening the MIDI inputs and forwarding what they receive.
#include "Quorvane/device/HardwareMidiInputs.h"

namespace app {

namespace {

constexpr const char* kJackClientName = "Quorvane MIDI";

} // namespace

HardwareMidiInputs::HardwareMidiInputs(AUScheduleMIDIEventBlock schedule)
    : schedule_(std::move(schedule)) {}

HardwareMidiInputs::~HardwareMidiInputs() { close(); }

std::vector<std::string> HardwareMidiInputs::open(const MidiInputChoice& choice, bool withJack) {
  close();
  std::vector<std::string> opened;
  if (choice.kind == MidiInputChoice::Kind::none)
    return opened;
  for (const auto& device : juce::MidiInput::getAvailableDevices()) {
    if (choice.kind == MidiInputChoice::Kind::named && device.name.toStdString() != choice.name)
      continue;
    if (auto input = juce::MidiInput::openDevice(device.identifier, this)) {
      input->start();
      opened.push_back(device.name.toStdString());
      inputs_.push_back(std::move(input));
    }
  }
  if (withJack && jack_.open(kJackClientName, schedule_)) {
    if (choice.kind == MidiInputChoice::Kind::all) {
      jack_.connectAll();
      opened.emplace_back(std::string(kJackClientName) + ":midi_in");
    } else if (jack_.connect(choice.name)) {
      opened.push_back(choice.name);
    }
  }
  return opened;
}

void HardwareMidiInputs::close() {
  for (auto& input : inputs_)
    input->stop();
  inputs_.clear();
  jack_.close();
}

void HardwareMidiInputs::handleIncomingMidiMessage(juce::MidiInput*,
                                                   const juce::MidiMessage& message) {
  const int size = message.getRawDataSize();
  if (size >= 1 && size <= 3)
    schedule_(AUEventSampleTimeImmediate, 0, size, message.getRawData());
}

} // namespace app
