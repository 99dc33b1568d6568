// Opening the MIDI inputs and forwarding what they receive.
#include "app/device/HardwareMidiInputs.h"

namespace app {

HardwareMidiInputs::HardwareMidiInputs(juce::AudioDeviceManager& manager,
                                       AUScheduleMIDIEventBlock schedule)
    : manager_(manager), schedule_(std::move(schedule)) {
  manager_.addMidiInputDeviceCallback({}, this);
}

HardwareMidiInputs::~HardwareMidiInputs() {
  close();
  manager_.removeMidiInputDeviceCallback({}, this);
}

std::vector<std::string> HardwareMidiInputs::open(const MidiInputChoice& choice, bool withJack) {
  close();
  std::vector<std::string> opened;
  if (choice.kind == MidiInputChoice::Kind::none)
    return opened;
  for (const auto& device : juce::MidiInput::getAvailableDevices()) {
    const bool wanted =
        choice.kind == MidiInputChoice::Kind::all || device.name.toStdString() == choice.name;
    manager_.setMidiInputDeviceEnabled(device.identifier, wanted);
    if (wanted && manager_.isMidiInputDeviceEnabled(device.identifier))
      opened.push_back(device.name.toStdString());
  }
  if (withJack && jack_.open(JackMidiInput::kClientName, schedule_)) {
    if (choice.kind == MidiInputChoice::Kind::all) {
      jack_.connectAll();
      jack_.followNewSources();
      opened.emplace_back(std::string(JackMidiInput::kClientName) + ":midi_in");
      jackChoice_ = choice;
    } else if (jack_.connect(choice.name)) {
      opened.push_back(choice.name);
      jackChoice_ = choice;
    }
  }
  return opened;
}

void HardwareMidiInputs::close() {
  for (const auto& device : juce::MidiInput::getAvailableDevices())
    manager_.setMidiInputDeviceEnabled(device.identifier, false);
  jack_.close();
  jackChoice_ = {MidiInputChoice::Kind::none, {}};
}

MidiInputChoice HardwareMidiInputs::currentChoice() const {
  const auto devices = juce::MidiInput::getAvailableDevices();
  std::vector<std::string> enabled;
  for (const auto& device : devices)
    if (manager_.isMidiInputDeviceEnabled(device.identifier))
      enabled.push_back(device.name.toStdString());
  if (!enabled.empty() && enabled.size() == static_cast<std::size_t>(devices.size()))
    return {MidiInputChoice::Kind::all, {}};
  if (enabled.size() == 1)
    return {MidiInputChoice::Kind::named, enabled.front()};
  if (enabled.empty())
    return jackChoice_;
  return {MidiInputChoice::Kind::all, {}};
}

void HardwareMidiInputs::handleIncomingMidiMessage(juce::MidiInput*,
                                                   const juce::MidiMessage& message) {
  const int size = message.getRawDataSize();
  if (size >= 1 && size <= 3)
    schedule_(AUEventSampleTimeImmediate, 0, size, message.getRawData());
}

} // namespace app
