// Tests of the oscillator bank's per-block constants: row positions, detune and pan.
#include "QuorvaneAU/dsp/OscillatorBank.h"
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <numbers>

using quorvane::dsp::BankConstants, quorvane::dsp::BankInputs, quorvane::dsp::RowBlend;
using quorvane::dsp::computeBankConstants;

namespace {

// Where a blend actually reads, in rows.
double position(const RowBlend& b) {
  EXPECT_EQ(b.rowHi, std::min(b.rowLo + 1, 7));
  EXPECT_TRUE(b.rowFrac >= 0.0f && b.rowFrac < 1.0f);
  return b.rowLo + b.rowFrac;
}

// Independent model of the bank constants, in double.
void expectMatchesModel(const BankInputs& in) {
  const BankConstants c = computeBankConstants(in);
  const double shapePos = (in.shape + in.lfo * in.motion * 0.7) * 7.0, st = in.spacetime;
  const double spread = in.rowSpread * 3.5 * (1.0 - in.motion * (in.lfo + 1.0) * 0.5);
  const double offset[4] = {-spread, -spread / 3.0, spread / 3.0, spread};
  const double e[4] = {-1.0 + st * (1.0 - in.lfo) / 3.0, -1.0 / 3.0 + st * (1.0 - in.lfo120) / 6.0,
                       1.0 / 3.0, 1.0 - st * (1.0 - in.lfo240) / 3.0};
  const double x[4] = {in.lfo * st, in.lfo120 * st, 0.0, in.lfo240 * st};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(position(c.unison[i]), std::clamp(shapePos + offset[i], 0.0, 7.0), 1e-5) << i;
    EXPECT_NEAR(c.detuneRatio[i], std::exp2(in.detuneSpread * 50.0 * e[i] / 1200.0), 1e-6) << i;
    const double theta = i == 2 ? 0.25 : (std::clamp(x[i], -1.0, 1.0) + 1.0) * 0.25;
    EXPECT_NEAR(c.gainL[i], std::sqrt(2.0) * std::cos(theta * std::numbers::pi), 1e-6) << i;
    EXPECT_NEAR(c.gainR[i], std::sqrt(2.0) * std::sin(theta * std::numbers::pi), 1e-6) << i;
  }
  EXPECT_NEAR(position(c.sub), std::clamp(shapePos, 0.0, 7.0), 1e-5);
}

} // namespace

TEST(OscillatorBank, ExamplesAndRandomInputsMatchModel) {
  const BankConstants c = computeBankConstants({.shape = 0.5f, .rowSpread = 1.0f});
  EXPECT_EQ(c.unison[3].rowLo, 7); // the last row is read whole, never blended past the end
  for (float shape : {0.0f, 1.0f}) // one row only, no detune
    for (const RowBlend& b : computeBankConstants({.shape = shape}).unison)
      EXPECT_TRUE(b.rowLo == int(shape) * 7 && b.rowFrac == 0.0f) << shape;
  expectMatchesModel({.shape = 0.5f, .rowSpread = 1.0f});    // rows 0, 7/3, 14/3 and 7
  expectMatchesModel({.shape = 0.5f, .detuneSpread = 1.0f}); // ±50 and ±16.7 cents
  // Centre, full left, full right; then beyond the edges.
  expectMatchesModel({.spacetime = 1.0f, .lfo = 0.0f, .lfo120 = -1.0f, .lfo240 = 1.0f});
  expectMatchesModel({.spacetime = 3.0f, .lfo = 0.9f, .lfo120 = -0.9f, .lfo240 = 0.5f});
  expectMatchesModel({.rowSpread = 1.0f, .motion = 1.0f, .lfo = 1.0f}); // spread collapses
  std::mt19937 rng(testSeed("OscillatorBank.ExamplesAndRandomInputsMatchModel"));
  std::uniform_real_distribution<float> unit(0.0f, 1.0f), lfo(-1.0f, 1.0f);
  for (int t = 0; t < 500; ++t)
    expectMatchesModel(
        {unit(rng), unit(rng), unit(rng), unit(rng), unit(rng), lfo(rng), lfo(rng), lfo(rng)});
}
