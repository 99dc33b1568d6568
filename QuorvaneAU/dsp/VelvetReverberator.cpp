// One reverb channel: scatter the block through the velvet taps, then read it back through a
// damped loop that re-enters one loop length ahead.
#include "QuorvaneAU/dsp/VelvetReverberator.h"

#include <algorithm>

void VelvetReverberator::configure(int length) {
  loopLength = length;
  bufferSize = 2 * length;
  buffer.assign(static_cast<std::size_t>(std::max(bufferSize, 0)), 0.0f);
  readPos = 0;
  feedbackPos = length;
}

void VelvetReverberator::reset() noexcept {
  std::fill(buffer.begin(), buffer.end(), 0.0f);
  readPos = 0;
  feedbackPos = loopLength;
  dampingState = 0.0f;
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
  if (bufferSize < 1 || n < 1)
    return;
  float* const mem = buffer.data();
  const int size = bufferSize;

  // Every tap is scattered before anything is read, so short taps reach this block's output.
  for (const VelvetEcho& tap : taps) {
    const float g = tap.amplitude * 0.09f;
    int start = readPos + tap.position;
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

  const float c = dampingCoef;
  const float fb = feedback;
  float state = dampingState;
  int rp = readPos;
  int fp = feedbackPos;
  for (int j = 0; j < n; ++j) {
    const float y = mem[rp];
    samples[j] = y;
    mem[rp] = 0.0f;
    state = (1.0f - c) * state + c * y;
    mem[fp] += fb * state;
    rp = rp + 1 == size ? 0 : rp + 1;
    fp = fp + 1 == size ? 0 : fp + 1;
  }
  dampingState = state;
  readPos = rp;
  feedbackPos = fp;
}
