// The three-byte messages the window's keyboard and pitch strip send, and their sending.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"

#include <array>
#include <cstdint>

namespace app {

using ControlMessage = std::array<std::uint8_t, 3>;

// Channel 1. Arguments outside 7 bits (14 for the bend) are masked, never carried into the
// status byte.
constexpr std::uint8_t kControlVelocity = 100; // whatever the mouse does
ControlMessage noteOnMessage(int note) noexcept;
ControlMessage noteOffMessage(int note) noexcept;
ControlMessage polyPressureMessage(int note, int pressure) noexcept;
ControlMessage pitchBendMessage(int bend) noexcept; // 0 ... 16383, centre 8192

// Sends message to unit's schedule block (read now) at the immediate time on cable 0. Dropped
// silently when there is no unit yet or it has no block. Main thread (any but the render
// thread: reading the block copies it).
void sendControlMessage(const AUAudioUnit* unit, const ControlMessage& message);

} // namespace app
