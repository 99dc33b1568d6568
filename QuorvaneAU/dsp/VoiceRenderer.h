// Renders one voice of the synthesiser for a block, adding it into the stereo output.
#pragma once

#include "QuorvaneAU/dsp/OscillatorBank.h"
#include "QuorvaneAU/dsp/Voice.h"
#include "QuorvaneAU/dsp/Wavetable.h"

namespace quorvane::dsp {

// What every voice of a block shares, computed once per block.
struct VoiceBlock {
  BankConstants bank;
  float bendRatio = 1.0f;
  float attackInc = 0.0f;
  float decayDec = 0.0f;
  float sustain = 0.0f;
  float releaseTimeSr = 1.0f; // release time in samples; each voice divides its start level by it
  float subGain = 0.0f;       // 2√boost
};

// Render thread. Adds n samples of an active voice into left and right and advances its
// phases and envelope; a voice whose release ends stops there and stays silent.
void renderVoice(const Wavetable& wavetable, Voice& v, const VoiceBlock& block, float* left,
                 float* right, int n) noexcept;

} // namespace quorvane::dsp
