// Per-block row positions, detune ratios and pan gains of the four unison oscillators.
#include "QuorvaneAU/dsp/OscillatorBank.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>

namespace quorvane::dsp {

namespace {

constexpr float kQuarterPi = 0.78539816f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kSqrt2 = 1.4142135f;

// x = -1 full left, 0 centre at unity on both sides, +1 full right.
void panGains(float x, float& left, float& right) noexcept {
  const float theta = x > 1.0f ? kHalfPi : (std::max(x, -1.0f) + 1.0f) * kQuarterPi;
  left = kSqrt2 * std::cos(theta);
  right = kSqrt2 * std::sin(theta);
}

} // namespace

RowBlend rowBlendAt(float p) noexcept {
  p = foundation::clampFinite(p, 0.0f, 7.0f);
  RowBlend b;
  b.rowLo = static_cast<int>(p);
  b.rowHi = std::min(b.rowLo + 1, Wavetable::kRows - 1);
  b.rowFrac = p - static_cast<float>(b.rowLo);
  return b;
}

BankConstants computeBankConstants(const BankInputs& in) noexcept {
  BankConstants bank;

  const float shapePos = (in.shape + in.lfo * in.motion * 0.7f) * 7.0f;
  const float cents = in.detuneSpread * 50.0f;
  const float spreadRows = in.rowSpread * 3.5f * (1.0f - in.motion * (in.lfo + 1.0f) * 0.5f);

  bank.unison[0] = rowBlendAt(shapePos - spreadRows);
  bank.unison[1] = rowBlendAt(shapePos - spreadRows / 3.0f);
  bank.unison[2] = rowBlendAt(shapePos + spreadRows / 3.0f);
  bank.unison[3] = rowBlendAt(shapePos + spreadRows);
  bank.sub = rowBlendAt(shapePos);

  const float exponents[4] = {
      -1.0f + in.spacetime * (1.0f - in.lfo) / 3.0f,
      -1.0f / 3.0f + in.spacetime * (1.0f - in.lfo120) / 6.0f,
      1.0f / 3.0f,
      1.0f - in.spacetime * (1.0f - in.lfo240) / 3.0f,
  };
  for (int i = 0; i < 4; ++i)
    bank.detuneRatio[i] = std::exp2(cents * exponents[i] / 1200.0f);

  panGains(in.lfo * in.spacetime, bank.gainL[0], bank.gainR[0]);
  panGains(in.lfo120 * in.spacetime, bank.gainL[1], bank.gainR[1]);
  bank.gainL[2] = bank.gainR[2] = 1.0f;
  panGains(in.lfo240 * in.spacetime, bank.gainL[3], bank.gainR[3]);
  return bank;
}

} // namespace quorvane::dsp
