// MIDI decoding for the synthesiser kernel.
#include "QuorvaneAU/dsp/MidiDecoding.h"

#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"

#include <algorithm>

namespace quorvane::dsp {

namespace {

void applyController(QuorvaneDSPKernel& kernel, int number, int value) noexcept {
  switch (number) {
  case 1:
    kernel.setModWheel(static_cast<float>(value) / 127.0f);
    break;
  case 11:
    kernel.setExpression(static_cast<float>(value) / 127.0f);
    break;
  case 64:
    kernel.setSustainPedal(value >= 64);
    break;
  case 120:
    kernel.allSoundOff();
    break;
  case 121:
    kernel.resetControllers();
    break;
  case 123: // all notes off; omni off and on, mono and poly change modes, ending the notes too
  case 124:
  case 125:
  case 126:
  case 127:
    kernel.allNotesOff();
    break;
  default:
    break;
  }
}

} // namespace

void applyMIDIMessage(QuorvaneDSPKernel& kernel, const std::uint8_t* bytes,
                      std::size_t length) noexcept {
  if (length < 1)
    return;
  const int status = bytes[0] >> 4;
  const int d1 = length > 1 ? bytes[1] : 0;
  const int d2 = length > 2 ? bytes[2] : 0;
  switch (status) {
  case 0x8:
    kernel.noteOff(static_cast<std::uint8_t>(d1));
    break;
  case 0x9:
    if (d2 > 0)
      kernel.noteOn(static_cast<std::uint8_t>(d1), d2);
    else
      kernel.noteOff(static_cast<std::uint8_t>(d1));
    break;
  case 0xA:
    kernel.setPolyPressure(static_cast<std::uint8_t>(d1),
                           std::min(static_cast<float>(d2) / 127.0f, 1.0f));
    break;
  case 0xB:
    applyController(kernel, d1, d2);
    break;
  case 0xD:
    kernel.setChannelPressure(std::min(static_cast<float>(d1) / 127.0f, 1.0f));
    break;
  case 0xE: {
    const float value = static_cast<float>(d2 * 128 + d1 - 8192) / 8192.0f;
    kernel.setPitchBend(std::clamp(value, -1.0f, 1.0f));
    break;
  }
  default:
    break;
  }
}

} // namespace quorvane::dsp
