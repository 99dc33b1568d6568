// Per-block constants of a voice's oscillator bank and the per-sample table read.
#pragma once

#include "QuorvaneAU/dsp/Wavetable.h"

#include <array>

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

// One oscillator's value at phase in [0, 2048) on the level starting at levelBase.
inline float oscillatorValue(const float* table, int levelBase, const RowBlend& rows,
                             float phase) noexcept {
  const int whole = static_cast<int>(phase);
  const float f = phase - static_cast<float>(whole);
  const int idx = whole & Wavetable::kRowMask;
  const int next = (idx + 1) & Wavetable::kRowMask;
  const float* lo = table + levelBase + rows.rowLo * Wavetable::kRowLength;
  const float* hi = table + levelBase + rows.rowHi * Wavetable::kRowLength;
  const float l = lo[idx] + f * (lo[next] - lo[idx]);
  const float h = hi[idx] + f * (hi[next] - hi[idx]);
  return l + rows.rowFrac * (h - l);
}

// Base offset into the table of a (possibly out-of-range) level.
constexpr int levelBase(int level) noexcept {
  return (level < 0 ? 0 : (level > Wavetable::kMaxLevel ? Wavetable::kMaxLevel : level)) *
         Wavetable::kLevelStride;
}
