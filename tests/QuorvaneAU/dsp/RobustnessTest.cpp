// Robustness sweep: extreme, non-finite and random parameters with extreme MIDI stay bounded.
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

constexpr float kRange[21][2] = {
    {0, 1},     {0, 1}, {0, 1}, {0.001f, 20}, {0.001f, 20}, {0, 1}, {0.001f, 20},
    {0.1f, 20}, {0, 1}, {0, 1}, {1, 10},      {0, 1},       {0, 1}, {0, 1},
    {0, 1},     {0, 2}, {0, 1}, {0, 1},       {0, 1},       {0, 1}, {0, 1}};

// Plays extreme MIDI through everything; every sample must be finite and within [-1, 1].
void playAndCheck(QuorvaneDSPKernel& k, const std::string& what) {
  std::vector<float> left(300), right(300);
  auto check = [&](int n) {
    k.renderFrames(left.data(), right.data(), n);
    for (int i = 0; i < n; ++i)
      ASSERT_TRUE(std::abs(left[i]) <= 1.0f && std::abs(right[i]) <= 1.0f) // false for NaN
          << what << ": frame " << i << " = " << left[i] << ", " << right[i];
  };
  k.noteOn(0, 1), k.noteOn(127, 127), k.noteOn(60, 64);
  k.setPitchBend(1.0f), k.setPolyPressure(127, 1.0f), k.setChannelPressure(1.0f);
  for (int n : {256, 256, 256})
    check(n);
  k.setPitchBend(-1.0f), k.noteOff(127);
  for (int n : {300, 0, 256}) // longer than prepared, empty, normal
    check(n);
}

} // namespace

TEST(Robustness, EveryParameterAtItsEndsZeroHugeAndNonFinite) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  for (std::uint64_t a = 0; a < 21; ++a)
    for (float v : {kRange[a][0], kRange[a][1], 0.0f, 1e5f, -1e5f, std::nanf(""), inf, -inf}) {
      QuorvaneDSPKernel k;
      k.seed(11, 12, 13);
      k.prepare(256, 48000.0);
      signal_tools::apply(k, signal_tools::kFullChain); // so the value meets every stage
      k.setParameter(a, v);
      playAndCheck(k, "address " + std::to_string(a) + " = " + std::to_string(v));
      if (HasFatalFailure())
        return;
    }
}

TEST(Robustness, RandomParameterSets) {
  const std::uint32_t seed = signal_tools::testSeed("Robustness.RandomParameterSets");
  std::mt19937 rng(seed);
  const float extremes[] = {0.0f, 1e5f, -1e5f, 1e-30f, std::nanf("")};
  for (int run = 0; run < 40; ++run) {
    QuorvaneDSPKernel k;
    k.seed(rng(), rng(), rng());
    k.prepare(256, std::array{22050.0, 44100.0, 96000.0}[run % 3]);
    for (std::uint64_t a = 0; a < 21; ++a) {
      const float u = std::uniform_real_distribution<float>(kRange[a][0], kRange[a][1])(rng);
      k.setParameter(a, rng() % 8 ? u : extremes[rng() % 5]);
    }
    playAndCheck(k, "run " + std::to_string(run));
    if (HasFatalFailure())
      return;
  }
}
