// Delay line with an exponential glide of the delay time and linear interpolation.
#include "QuorvaneAU/dsp/SimpleDelayKernel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

void SimpleDelayKernel::setSampleRate(double sr) {
  sampleRate = static_cast<float>(sr);
  bufferLength = static_cast<int>(std::ceil(4.0 * sr)) + 1;
  buffer.assign(static_cast<std::size_t>(bufferLength), 0.0f);
  writePos = 0;
  currentDelay = targetDelay = delaySeconds;
}

void SimpleDelayKernel::reset() noexcept {
  std::fill(buffer.begin(), buffer.end(), 0.0f);
  writePos = 0;
  currentDelay = targetDelay;
}

void SimpleDelayKernel::process(float* samples, int n) noexcept {
  if (bufferLength < 1 || n < 1)
    return;
  const std::int64_t length = bufferLength;
  const double s = smoothing;
  const double target = std::isfinite(targetDelay) ? targetDelay * sampleRate : 0.0;
  double current = currentDelay * sampleRate;
  // A non-finite time would never glide back (and cannot index the buffer): snap instead.
  if (!std::isfinite(current))
    current = target;
  const float fb = feedback;
  float* const mem = buffer.data();
  std::int64_t w = writePos;

  for (int i = 0; i < n; ++i) {
    const float x = samples[i];
    mem[w] = x;
    current = (1.0 - s) * target + s * current;
    const double r = static_cast<double>(w) - current;
    const double whole = std::floor(r);
    const double frac = r - whole;
    // current stays within the buffer, so one wrap suffices; the true modulo guards the rest.
    std::int64_t a = static_cast<std::int64_t>(whole);
    if (a < 0)
      a += length;
    if (a < 0 || a >= length)
      a = ((a % length) + length) % length;
    const std::int64_t b = a + 1 == length ? 0 : a + 1;
    const float y = static_cast<float>((1.0 - frac) * mem[a] + frac * mem[b]);
    if (fb > 0.0f)
      mem[w] = x + fb * y;
    samples[i] = y;
    w = w + 1 == length ? 0 : w + 1;
  }
  writePos = static_cast<int>(w);
  currentDelay = current / sampleRate;
}
