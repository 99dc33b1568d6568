// Bad parameter values leave no trace once corrected. Whether extreme and non-finite values keep
// the output bounded, every parameter automated at every rate, is the plug-in sweeps' concern.
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

using quorvane::dsp::kQuorvaneParameterCount;
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
