// Applies one MIDI message to the synthesiser kernel, on any channel, as the render block does.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvane::dsp {

class QuorvaneDSPKernel;

// Render thread. Note off, note on (velocity 0 releases), polyphonic key pressure, channel
// pressure, pitch bend and the controllers sustain (64, down from 64), all sound off (120),
// reset all controllers (121), all notes off (123) and the mode messages (124 to 127, which
// also end the notes) reach the kernel; everything else, and empty messages, are ignored.
void applyMIDIMessage(QuorvaneDSPKernel& kernel, const std::uint8_t* bytes,
                      std::size_t length) noexcept;

} // namespace quorvane::dsp
