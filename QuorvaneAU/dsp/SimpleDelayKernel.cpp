// Delay line with an exponential glide of the delay time and linear interpolation.
#include "QuorvaneAU/dsp/SimpleDelayKernel.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorvane::dsp {

void SimpleDelayKernel::prepare(double sampleRate) {
  sampleRate_ = static_cast<float>(sampleRate);
  bufferLength_ = static_cast<int>(std::ceil(4.0 * sampleRate)) + 1;
  buffer_.assign(static_cast<std::size_t>(bufferLength_), 0.0f);
  writePos_ = 0;
  // The time set before may not fit (or even be finite): it passes the same clamp again.
  setDelay(delaySeconds_);
  currentDelay_ = targetDelay_;
}

void SimpleDelayKernel::reset() noexcept {
  std::fill(buffer_.begin(), buffer_.end(), 0.0f);
  writePos_ = 0;
  currentDelay_ = targetDelay_;
}

void SimpleDelayKernel::setDelay(float seconds) noexcept {
  delaySeconds_ = seconds;
  // Also kept non-negative and finite: the time becomes a buffer index.
  const double longest = static_cast<double>(bufferLength_ - 1) / sampleRate_;
  targetDelay_ =
      std::min(longest, foundation::clampFinite(static_cast<double>(seconds), 0.0, longest));
}

void SimpleDelayKernel::process(float* samples, int n) noexcept {
  if (bufferLength_ < 1 || n < 1)
    return;
  const std::int64_t length = bufferLength_;
  const double s = kGlide;
  const double target = std::isfinite(targetDelay_) ? targetDelay_ * sampleRate_ : 0.0;
  double current = currentDelay_ * sampleRate_;
  // A non-finite time would never glide back (and cannot index the buffer): snap instead.
  if (!std::isfinite(current))
    current = target;
  const float fb = feedback_;
  float* const mem = buffer_.data();
  std::int64_t w = writePos_;
  bool finite = true;

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
    finite = finite && std::isfinite(y);
    w = w + 1 == length ? 0 : w + 1;
  }
  writePos_ = static_cast<int>(w);
  currentDelay_ = current / sampleRate_;
  // A non-finite sample in the memory would come round again and again.
  if (!finite)
    reset();
}

} // namespace quorvane::dsp
