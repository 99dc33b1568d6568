// Per-block constants of the voices' oscillator bank: row blends, detune ratios, pan gains.
#pragma once

#include "QuorvaneAU/dsp/Wavetable.h"

#include <array>

namespace quorvane::dsp {

// Where one oscillator reads the table: a blend of two adjacent rows.
struct RowBlend {
  int rowLo = 0;
  int rowHi = 0;
  float rowFrac = 0.0f;
};

// The bank's constants for one block, shared by every voice.
struct BankConstants {
  std::array<RowBlend, 4> unison;
  RowBlend sub;
  std::array<float, 4> detuneRatio{};
  std::array<float, 4> gainL{}; // oscillator 2 always has gain 1 on both sides
  std::array<float, 4> gainR{};
};

struct BankInputs {
  float shape = 0.5f;
  float detuneSpread = 0.0f;
  float rowSpread = 0.0f;
  float motion = 0.0f;
  float spacetime = 0.0f;
  float lfo = 0.0f;
  float lfo120 = 0.0f;
  float lfo240 = 0.0f;
};

// Real-time safe for any input: positions that are NaN count as row 0.
BankConstants computeBankConstants(const BankInputs& in) noexcept;

// The blend of a row position p, clamped to [0, 7].
RowBlend rowBlendAt(float p) noexcept;

// Base offset into the table of a (possibly out-of-range) level.
constexpr int levelBase(int level) noexcept {
  return (level < 0 ? 0 : (level > Wavetable::kMaxLevel ? Wavetable::kMaxLevel : level)) *
         Wavetable::kLevelStride;
}

} // namespace quorvane::dsp
