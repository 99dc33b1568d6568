// One reverb channel: scatter the block through the velvet taps, then read it back through a
// damped loop that re-enters one loop length ahead.
#include "QuorvaneAU/dsp/VelvetReverberator.h"

#include "QuorvaneAU/dsp/simd/VectorWidth.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace quorvane::dsp {

void VelvetReverberator::prepare(int loopLength) {
  loopLength_ = loopLength;
  bufferSize_ = 2 * loopLength;
  buffer_.assign(static_cast<std::size_t>(std::max(bufferSize_, 0)), 0.0f);
  reset();
}

void VelvetReverberator::reset() noexcept {
  std::fill(buffer_.begin(), buffer_.end(), 0.0f);
  readPos_ = 0;
  feedbackPos_ = loopLength_;
  dampingState_ = 0.0f;
  silentSteps_ = bufferSize_;
  gatheredCount_ = 0;
}

namespace {

// mem[i] += g * x[i] over a span that does not wrap: the reverb's hot loop. It is bound by
// stores and float operations, so where the processor has eight-lane vectors a second copy
// uses them; without fused multiply-adds both copies give identical results.
[[gnu::always_inline]] inline void multiplyAdd(float* __restrict mem, const float* __restrict x,
                                               float g, int n) noexcept {
  for (int i = 0; i < n; ++i)
    mem[i] += g * x[i];
}

// x[0 ... n-1] through each tap into the cells from `from` on, each tap's cells split into
// spans that do not wrap. Returns whether every gain was finite. Inlined into each copy whole,
// so that short spans cost no call per tap.
[[gnu::always_inline]] inline bool scatterLoop(float* mem, int size, const VelvetEcho* first,
                                               const VelvetEcho* last, const float* x, int n,
                                               int from) noexcept {
  bool finite = true;
  for (const VelvetEcho* tap = first; tap != last; ++tap) {
    const float g = tap->amplitude * 0.09f;
    finite = finite && std::isfinite(g);
    int start = from + tap->position;
    if (start >= size)
      start -= size;
    int done = 0;
    while (done < n) {
      const int span = std::min(n - done, size - start);
      multiplyAdd(mem + start, x + done, g, span);
      done += span;
      start = 0;
    }
  }
  return finite;
}

using Scatter = bool (*)(float*, int, const VelvetEcho*, const VelvetEcho*, const float*, int,
                         int) noexcept;

bool scatterFour(float* mem, int size, const VelvetEcho* first, const VelvetEcho* last,
                 const float* x, int n, int from) noexcept {
  return scatterLoop(mem, size, first, last, x, n, from);
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(QUORVANE_PORTABLE_SIMD)
[[gnu::target("avx2")]] bool scatterEight(float* mem, int size, const VelvetEcho* first,
                                          const VelvetEcho* last, const float* x, int n,
                                          int from) noexcept {
  return scatterLoop(mem, size, first, last, x, n, from);
}
#endif

Scatter scatterInUse() noexcept {
#if defined(__x86_64__) && defined(__GNUC__) && !defined(QUORVANE_PORTABLE_SIMD)
  if (vectorWidth() == VectorWidth::eight)
    return scatterEight;
#endif
  return scatterFour;
}

} // namespace

bool VelvetReverberator::skipSilence(int n, bool tapsFinite) noexcept {
  if (bufferSize_ < 1 || n < 1)
    return true; // process would not touch anything either
  if (silentSteps_ < bufferSize_ || std::bit_cast<std::uint32_t>(dampingState_) != 0 ||
      !std::isfinite(feedback_) || !std::isfinite(dampingCoef_) || !tapsFinite)
    return false;
  // Any gathered sample but ±0 came in fewer than kGathered (< bufferSize_) steps ago, so the
  // input gathered now is all ±0. Through finite gains that adds ±0 to cells that hold no -0,
  // which changes nothing; it is still gathered, so that later input is scattered in the same
  // groups as without the skip.
  if (n >= kGathered) {
    gatheredCount_ = 0;
  } else {
    std::fill_n(gatherInto(n), n, 0.0f);
    if (gatheredCount_ >= kGathered)
      gatheredCount_ = 0;
  }
  // (1 - c)·(+0) + c·(+0) is +0 for any finite c: the two products cannot both be -0.
  readPos_ = static_cast<int>((static_cast<std::int64_t>(readPos_) + n) % bufferSize_);
  feedbackPos_ = static_cast<int>((static_cast<std::int64_t>(feedbackPos_) + n) % bufferSize_);
  return true;
}

float* VelvetReverberator::gatherInto(int n) noexcept {
  if (gatheredCount_ == 0)
    gatheredFrom_ = readPos_;
  float* const at = gathered_.data() + gatheredCount_;
  gatheredCount_ += n;
  return at;
}

void VelvetReverberator::scatter(const VelvetEcho* first, const VelvetEcho* last, const float* x,
                                 int n, int from, bool& finite) noexcept {
  finite = scatterInUse()(buffer_.data(), bufferSize_, first, last, x, n, from) && finite;
}

void VelvetReverberator::process(float* samples, int n,
                                 const std::vector<VelvetEcho>& taps) noexcept {
  if (bufferSize_ < 1 || n < 1)
    return;
  float* const mem = buffer_.data();
  const int size = bufferSize_;

  // Zeros scattered or fed back through finite gains leave cleared cells at +0.
  std::uint32_t written = 0;
  for (int j = 0; j < n; ++j)
    written |= std::bit_cast<std::uint32_t>(samples[j]);
  bool finite = std::isfinite(feedback_);

  // Every tap is scattered before anything is read, so short taps reach this call's output.
  // Input waits fewer than kGathered steps to be scattered, and a long tap takes it at least
  // kGathered steps on: it always lands before its cell is read.
  const VelvetEcho* const first = taps.data();
  const VelvetEcho* const last = first + taps.size();
  const VelvetEcho* const longTaps = std::partition_point(
      first, last, [](const VelvetEcho& tap) { return tap.position < kGathered; });
  const auto scatterGathered = [&] {
    scatter(longTaps, last, gathered_.data(), gatheredCount_, gatheredFrom_, finite);
    gatheredCount_ = 0;
  };
  if (n >= kGathered) {
    if (gatheredCount_ > 0)
      scatterGathered();
    scatter(first, last, samples, n, readPos_, finite);
  } else {
    scatter(first, longTaps, samples, n, readPos_, finite);
    std::copy(samples, samples + n, gatherInto(n));
    if (gatheredCount_ >= kGathered)
      scatterGathered();
  }

  const float c = dampingCoef_;
  const float fb = feedback_;
  float state = dampingState_;
  int rp = readPos_;
  int fp = feedbackPos_;
  for (int j = 0; j < n; ++j) {
    const float y = mem[rp];
    samples[j] = y;
    mem[rp] = 0.0f;
    state = (1.0f - c) * state + c * y;
    written |= std::bit_cast<std::uint32_t>(state);
    mem[fp] += fb * state;
    rp = rp + 1 == size ? 0 : rp + 1;
    fp = fp + 1 == size ? 0 : fp + 1;
  }
  dampingState_ = state;
  readPos_ = rp;
  feedbackPos_ = fp;
  const bool silent = (written & 0x7FFFFFFFu) == 0 && finite;
  silentSteps_ =
      silent ? static_cast<int>(std::min<std::int64_t>(std::int64_t{silentSteps_} + n, bufferSize_))
             : 0;
  // Whatever non-finite the loop read lands in the damping state and would circulate for ever.
  if (!std::isfinite(state))
    reset();
}

} // namespace quorvane::dsp
