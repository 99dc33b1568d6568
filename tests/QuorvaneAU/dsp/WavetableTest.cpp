// Tests of the band-limited wavetable: contents (the random rows through an independent model of
// their generator), band limits and level choice.
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

using quorvane::dsp::Wavetable;

namespace {

constexpr int kLen = Wavetable::kRowLength;

std::vector<double> lcgTable(std::uint32_t s, bool magnitude) {
  std::vector<double> t(1025);
  for (double& v : t) {
    s = s * 1664525u + 1013904223u;
    v = magnitude ? s / 4294967296.0 : (std::int32_t(s) >= 0 ? 1.0 : -1.0);
  }
  return t;
}

float absPeak(const float* x) {
  return std::abs(
      *std::max_element(x, x + kLen, [](float a, float b) { return std::abs(a) < std::abs(b); }));
}

// Independent model of one level from the harmonic recipes of the eight rows.
std::vector<float> referenceLevel(int level) {
  const auto sA = lcgTable(0xDEADBEEF, false), sB = lcgTable(0xCAFEBABE, false);
  const auto sC = lcgTable(0x5EED1234, false), u = lcgTable(0xFEEDFACE, true);
  std::map<int, double> nine = {{1, 1.0},  {2, 0.7},  {3, -0.8}, {4, 0.6},  {6, 0.5},
                                {8, -0.4}, {10, 0.3}, {12, 0.2}, {16, 0.15}};
  std::vector<float> out(8 * kLen, 0.0f);
  for (int r = 0; r < 8; ++r) {
    float* o = out.data() + r * kLen;
    for (int k = 1; k <= 1024 >> level; ++k) {
      const double odd = k % 2, alternating = (k / 2) % 2 ? -1.0 : 1.0;
      const double c[8] = {k == 1 ? 1.0 : 0.0,
                           odd * alternating * 0.8105696 / (double(k) * k),
                           odd * 1.2732396 / k,
                           -0.6366198 / k,
                           nine[k],
                           std::exp(-0.5 * std::pow(std::log2(double(k)) - 3.0, 2)) * sA[k],
                           sB[k] / std::sqrt(double(k)),
                           u[k] * sC[k]};
      for (int i = 0; c[r] != 0.0 && i < kLen; ++i)
        o[i] += float(c[r] * std::sin(2.0 * std::numbers::pi * (k * i % kLen) / kLen));
    }
    const float peak = absPeak(o);
    std::for_each(o, o + kLen, [peak](float& v) { v /= peak; });
  }
  return out;
}

} // namespace

// Every row of every level peaks at 1 with nothing above harmonic 1024 >> level; a few levels
// (10: every row a single signed sine) match the model sample by sample.
TEST(Wavetable, RowsPeakAtOneStayWithinTheirHarmonicLimitAndMatchTheModel) {
  for (int level = 0; level < Wavetable::kLevels; ++level) {
    const float* table = Wavetable::shared().samples.data() + level * Wavetable::kLevelStride;
    const bool modelled = level <= 1 || level == 5 || level >= 9;
    const auto ref = modelled ? referenceLevel(level) : std::vector<float>{};
    for (int r = 0; r < 8; ++r) {
      const float* x = table + r * kLen;
      EXPECT_NEAR(absPeak(x), 1.0f, 2e-7) << "level " << level << " row " << r;
      const auto mag = spectrum(x, kLen, false);
      const double top = *std::max_element(mag.begin(), mag.end());
      for (int k = (1024 >> level) + 1; k <= 1024; ++k)
        ASSERT_LT(mag[k], 1e-5 * top) << "level " << level << " row " << r << " harmonic " << k;
      for (std::size_t i = 0; i < ref.size() / 8; ++i)
        ASSERT_NEAR(x[i], ref[r * kLen + i], 2e-5) << "level " << level << " row " << r << " " << i;
    }
  }
}

TEST(WavetableLevel, RuleAndLimits) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, int> cases[] = {
      {-5.0f, 0}, {0.5f, 0},    {1.0f, 0},   {1.0001f, 1},
      {2.0f, 1},  {2.0001f, 2}, {512.0f, 9}, {513.0f, 10},
      {1e9f, 10}, {-inf, 0},    {inf, 10},   {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (auto [x, level] : cases)
    EXPECT_EQ(Wavetable::levelForIncrement(x), level) << "x = " << x;
}
