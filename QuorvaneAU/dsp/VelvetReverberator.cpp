// One reverb channel: scatter the block through the velvet taps, then read it back through a
// damped loop that re-enters one loop length ahead.
#include "QuorvaneAU/dsp/VelvetReverberator.h"

#include <algorithm>
#include <cmath>

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
}

namespace {

// mem[i] += g * x[i] over a span that does not wrap: the reverb's hot loop. It is bound by
// stores and float operations, so where the processor has eight-lane vectors a second copy
// uses them; without fused multiply-adds both copies give identical results.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__) &&                  \
    !defined(__SANITIZE_THREAD__)
[[gnu::target_clones("avx", "default")]]
#endif
void multiplyAdd(float* __restrict mem, const float* __restrict x, float g, int n) noexcept {
  for (int i = 0; i < n; ++i)
    mem[i] += g * x[i];
}

} // namespace

void VelvetReverberator::process(float* samples, int n,
                                 const std::vector<VelvetEcho>& taps) noexcept {
  if (bufferSize_ < 1 || n < 1)
    return;
  float* const mem = buffer_.data();
  const int size = bufferSize_;

  // Every tap is scattered before anything is read, so short taps reach this block's output.
  for (const VelvetEcho& tap : taps) {
    const float g = tap.amplitude * 0.09f;
    int start = readPos_ + tap.position;
    if (start >= size)
      start -= size;
    // Split [start, start + n) into spans that do not wrap.
    int done = 0;
    while (done < n) {
      const int span = std::min(n - done, size - start);
      multiplyAdd(mem + start, samples + done, g, span);
      done += span;
      start = 0;
    }
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
    mem[fp] += fb * state;
    rp = rp + 1 == size ? 0 : rp + 1;
    fp = fp + 1 == size ? 0 : fp + 1;
  }
  dampingState_ = state;
  readPos_ = rp;
  feedbackPos_ = fp;
  // Whatever non-finite the loop read lands in the damping state and would circulate for ever.
  if (!std::isfinite(state))
    reset();
}

} // namespace quorvane::dsp
