// Tests of the band-limited wavetable: random tables, contents, band limits and level choice.
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int kLen = Wavetable::kRowLength;

const float* row(int level, int r) {
  return Wavetable::shared().samples.data() + level * Wavetable::kLevelStride + r * kLen;
}

std::vector<double> lcgTable(std::uint32_t s, bool magnitude) {
  std::vector<double> t(1025);
  for (double& v : t) {
    s = s * 1664525u + 1013904223u;
    v = magnitude ? s / 4294967296.0 : (std::int32_t(s) >= 0 ? 1.0 : -1.0);
  }
  return t;
}

// Independent model of one level from the harmonic recipes of the eight rows.
std::vector<float> referenceLevel(int level) {
  const auto sA = lcgTable(0xDEADBEEF, false), sB = lcgTable(0xCAFEBABE, false);
  const auto sC = lcgTable(0x5EED1234, false), u = lcgTable(0xFEEDFACE, true);
  const std::pair<int, double> nine[] = {{1, 1.0},  {2, 0.7},  {3, -0.8}, {4, 0.6},  {6, 0.5},
                                         {8, -0.4}, {10, 0.3}, {12, 0.2}, {16, 0.15}};
  const int h = 1024 >> level;
  std::vector<float> sine(kLen), out(8 * kLen, 0.0f);
  for (int i = 0; i < kLen; ++i)
    sine[i] = float(std::sin(i * 0.0030679614));
  for (int r = 0; r < 8; ++r) {
    float* o = out.data() + r * kLen;
    auto add = [&](int k, double c) {
      for (int i = 0; i < kLen; ++i)
        o[i] += float(c) * sine[(k * i) & 2047];
    };
    for (int k = 1; k <= h; ++k) {
      const double odd = k % 2, alternating = (k / 2) % 2 ? -1.0 : 1.0;
      const double c[8] = {k == 1 ? 1.0 : 0.0,
                           odd * alternating * 0.8105696 / (double(k) * k),
                           odd * 1.2732396 / k,
                           -0.6366198 / k,
                           0.0,
                           std::exp(-0.5 * std::pow(std::log2(double(k)) - 3.0, 2)) * sA[k],
                           sB[k] / std::sqrt(double(k)),
                           u[k] * sC[k]};
      if (c[r] != 0.0)
        add(k, c[r]);
    }
    for (auto [k, c] : nine)
      if (r == 4 && k <= h)
        add(k, c);
    const float peak = std::abs(
        *std::max_element(o, o + kLen, [](float a, float b) { return std::abs(a) < std::abs(b); }));
    for (int i = 0; i < kLen; ++i)
      o[i] /= peak;
  }
  return out;
}

} // namespace

TEST(Wavetable, RandomTablesFollowTheSeededGenerator) {
  // First states, by hand: 0xDEADBEEF → 0x6AABDF82, 0xF5E918F9; 0xFEEDFACE → 0x7E90C3D5, ...
  const auto sA = wavetableSignTable(0xDEADBEEF), u = wavetableMagnitudeTable(0xFEEDFACE);
  EXPECT_EQ(sA[0], 1.0f);
  EXPECT_EQ(sA[1], -1.0f);
  EXPECT_EQ(wavetableSignTable(0x5EED1234)[3], -1.0f); // 0xC9418EA8
  EXPECT_NEAR(u[0], 0.49439644f, 1e-7);
  EXPECT_NEAR(u[2], 0.83145123f, 1e-7); // 0xD4D9FCCF
  const auto sB = lcgTable(0xCAFEBABE, false), uRef = lcgTable(0xFEEDFACE, true);
  for (int k = 0; k < 1025; ++k) {
    ASSERT_EQ(wavetableSignTable(0xCAFEBABE)[k], sB[k]) << k;
    ASSERT_NEAR(u[k], uRef[k], 1e-7) << k;
  }
}

TEST(Wavetable, MatchesReferenceModel) {
  for (int level : {0, 1, 5, 9, 10}) { // level 10: every row a single signed sine
    const auto ref = referenceLevel(level);
    for (int r = 0; r < 8; ++r)
      for (int i = 0; i < kLen; ++i)
        ASSERT_NEAR(row(level, r)[i], ref[r * kLen + i], 2e-5)
            << "level " << level << " row " << r << " sample " << i;
  }
}

TEST(Wavetable, EveryRowPeaksAtOneAndStaysWithinItsHarmonicLimit) {
  for (int level = 0; level < Wavetable::kLevels; ++level)
    for (int r = 0; r < 8; ++r) {
      const float* x = row(level, r);
      float peak = 0.0f;
      for (int i = 0; i < kLen; ++i)
        peak = std::max(peak, std::abs(x[i]));
      EXPECT_NEAR(peak, 1.0f, 2e-7) << "level " << level << " row " << r;
      const int h = 1024 >> level;
      const auto mag = signal_tools::spectrum(x, kLen, false);
      const double top = *std::max_element(mag.begin(), mag.end());
      for (int k = h + 1; k <= 1024; ++k)
        ASSERT_LT(mag[k], 1e-5 * top) << "level " << level << " row " << r << " harmonic " << k;
      if (r == 3 && h > 1 && h < 1024) { // the sawtooth still reaches harmonic h, at 1/h
        EXPECT_NEAR(mag[h] / mag[1], 1.0 / h, 0.01 / h) << "level " << level;
      }
    }
}

TEST(WavetableLevel, RuleLimitsAndConcertA) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, int> cases[] = {
      {-5.0f, 0}, {0.5f, 0},    {1.0f, 0},   {1.0001f, 1},
      {2.0f, 1},  {2.0001f, 2}, {512.0f, 9}, {513.0f, 10},
      {1e9f, 10}, {-inf, 0},    {inf, 10},   {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (auto [x, level] : cases)
    EXPECT_EQ(Wavetable::levelForIncrement(x), level) << "x = " << x;
  QuorvaneDSPKernel kernel; // 44100 Hz until prepared
  kernel.noteOn(69, 100);
  EXPECT_NEAR(kernel.voices[0].basePhaseInc, 20.4336f, 1e-4);
  EXPECT_EQ(kernel.voices[0].mipLevel, 5); // 20.43 × 1.122462 = 22.9 → 32 harmonics
}
