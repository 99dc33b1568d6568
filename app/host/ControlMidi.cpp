// The window's control messages.
#include "app/host/ControlMidi.h"

namespace app {

namespace {

constexpr std::uint8_t dataByte(int value) noexcept {
  return static_cast<std::uint8_t>(value & 0x7F);
}

} // namespace

ControlMessage noteOnMessage(int note) noexcept { return {0x90, dataByte(note), kControlVelocity}; }

ControlMessage noteOffMessage(int note) noexcept { return {0x80, dataByte(note), 0}; }

ControlMessage polyPressureMessage(int note, int pressure) noexcept {
  return {0xA0, dataByte(note), dataByte(pressure)};
}

ControlMessage pitchBendMessage(int bend) noexcept {
  return {0xE0, dataByte(bend), dataByte(bend >> 7)};
}

void sendControlMessage(const AUAudioUnit* unit, const ControlMessage& message) {
  if (unit == nullptr)
    return;
  const AUScheduleMIDIEventBlock schedule = unit->scheduleMIDIEventBlock();
  if (schedule)
    schedule(AUEventSampleTimeImmediate, 0, 3, message.data());
}

} // namespace app
