// Robustness sweep: extreme, non-finite and random parameters with extreme MIDI stay bounded.
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

using quorvane::dsp::QuorvaneDSPKernel, quorvane::dsp::kQuorvaneParameterCount;
using P = quorvane::dsp::QuorvaneParameter;

namespace {

// A parameter's working range.
std::pair<float, float> range(P p) {
  using enum P;
  return p == attack || p == decay || p == release ? std::pair{0.001f, 20.0f}
         : p == rate                               ? std::pair{0.1f, 20.0f}
         : p == drive                              ? std::pair{1.0f, 10.0f}
                                                   : std::pair{0.0f, p == filterType ? 2.0f : 1.0f};
}

// Plays extreme MIDI through everything; every sample must be finite and within [-1, 1].
void playAndCheck(QuorvaneDSPKernel& k, const std::string& what) {
  std::vector<float> left(300), right(300);
  k.noteOn(0, 1), k.noteOn(127, 127), k.noteOn(60, 64);
  k.setPitchBend(1.0f), k.setPolyPressure(127, 1.0f), k.setChannelPressure(1.0f);
  const int sizes[] = {256, 256, 256, 300, 0, 256}; // then longer than prepared, empty, normal
  for (int b = 0; b < 6; ++b) {
    if (b == 3)
      k.setPitchBend(-1.0f), k.noteOff(127);
    k.renderFrames(left.data(), right.data(), sizes[b]);
    for (int i = 0; i < sizes[b]; ++i)
      ASSERT_TRUE(std::abs(left[i]) <= 1.0f && std::abs(right[i]) <= 1.0f) // false for NaN
          << what << ": frame " << i << " = " << left[i] << ", " << right[i];
  }
}

} // namespace

// One bad value, corrected a block later, acts as the nearest value in range (a non-finite one
// as none at all) and leaves nothing else behind: a new note then sounds as it would have.
TEST(Robustness, ABadValueCorrectedABlockLaterLeavesNoTrace) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  const auto newNote = [](std::uint64_t a, std::optional<float> value) {
    PreparedKernel k(48000.0);
    applyFullChain(k);
    const float good = k.parameterValue(a);
    k.noteOn(60, 100);
    render(k, 512);
    if (value)
      k.setParameter(a, *value);
    render(k, 512);
    k.setParameter(a, good);
    k.noteOff(60), k.noteOn(67, 100);
    return render(k, 2400).left;
  };
  for (std::uint64_t a = 0; a < kQuorvaneParameterCount; ++a) {
    const auto [lo, hi] = range(P(a));
    const auto heard = newNote(a, std::nullopt);
    ASSERT_GT(*std::max_element(heard.begin(), heard.end()), 0.05f);
    for (auto [bad, actsAs] : {std::pair<float, std::optional<float>>{std::nanf(""), {}},
                               {inf, {}},
                               {-inf, {}},
                               {-1.0f, lo},
                               {1e30f, hi}})
      EXPECT_EQ(newNote(a, bad), newNote(a, actsAs)) << "address " << a << " = " << bad;
  }
}

// Each parameter alone at its ends, zero, huge and non-finite over the full chain; then random
// sets at three rates with the odd extreme among them.
TEST(Robustness, ExtremeAndRandomParametersStayBounded) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  for (std::uint64_t a = 0; a < kQuorvaneParameterCount; ++a)
    for (float v :
         {range(P(a)).first, range(P(a)).second, 0.0f, 1e5f, -1e5f, std::nanf(""), inf, -inf}) {
      PreparedKernel k(48000.0, 256, {11, 12, 13});
      applyFullChain(k); // so the value meets every stage
      k.setParameter(a, v);
      ASSERT_NO_FATAL_FAILURE(
          playAndCheck(k, "address " + std::to_string(a) + " = " + std::to_string(v)));
    }
  std::mt19937 rng(testSeed("Robustness.ExtremeAndRandomParametersStayBounded"));
  const float extremes[] = {0.0f, 1e5f, -1e5f, 1e-30f, std::nanf("")};
  for (int run = 0; run < 40; ++run) {
    PreparedKernel k(std::array{22050.0, 44100.0, 96000.0}[run % 3], 256, {rng(), rng(), rng()});
    for (std::uint64_t a = 0; a < kQuorvaneParameterCount; ++a) {
      const auto [lo, hi] = range(P(a));
      const float u = std::uniform_real_distribution<float>(lo, hi)(rng);
      k.setParameter(a, rng() % 8 ? u : extremes[rng() % 5]);
    }
    ASSERT_NO_FATAL_FAILURE(playAndCheck(k, "run " + std::to_string(run)));
  }
}
