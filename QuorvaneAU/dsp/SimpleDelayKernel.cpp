// Delay line with an exponential glide of the delay time and linear interpolation.
#include "QuorvaneAU/dsp/SimpleDelayKernel.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace quorvane::dsp {

void SimpleDelayKernel::prepare(double sampleRate) {
  sampleRate_ = static_cast<float>(sampleRate);
  bufferLength_ = static_cast<int>(std::ceil(4.0 * sampleRate)) + 1;
  buffer_.assign(static_cast<std::size_t>(bufferLength_), 0.0f);
  writePos_ = 0;
  // The time set before may not fit (or even be finite): it passes the same clamp again.
  setDelay(delaySeconds_);
  currentDelay_ = targetDelay_;
  silentWrites_ = bufferLength_;
}

void SimpleDelayKernel::reset() noexcept {
  std::fill(buffer_.begin(), buffer_.end(), 0.0f);
  writePos_ = 0;
  currentDelay_ = targetDelay_;
  silentWrites_ = bufferLength_;
}

void SimpleDelayKernel::setDelay(float seconds) noexcept {
  delaySeconds_ = seconds;
  // Also kept non-negative and finite: the time becomes a buffer index.
  const double longest = static_cast<double>(bufferLength_ - 1) / sampleRate_;
  targetDelay_ =
      std::min(longest, foundation::clampFinite(static_cast<double>(seconds), 0.0, longest));
}

namespace {

constexpr float kGlide = 0.9999f; // per-sample coefficient of the delay-time glide

struct Glide {
  double target;  // samples
  double current; // samples
};

Glide glideInSamples(double currentSeconds, double targetSeconds, float sampleRate) noexcept {
  const double target = std::isfinite(targetSeconds) ? targetSeconds * sampleRate : 0.0;
  const double current = currentSeconds * sampleRate;
  // A non-finite time would never glide back (and cannot index the buffer): snap instead.
  return {target, std::isfinite(current) ? current : target};
}

// One sample's step towards the target.
double glideStep(double target, double current) noexcept {
  const double s = kGlide;
  return (1.0 - s) * target + s * current;
}

} // namespace

bool SimpleDelayKernel::skipSilence(int n) noexcept {
  if (bufferLength_ < 1 || n < 1)
    return true; // process would not touch anything either
  if (silentWrites_ < bufferLength_ || feedback_ == std::numeric_limits<float>::infinity())
    return false;
  // The glide still moves, sample by sample as in process, until a step gives its own bits
  // back; a glide towards 0 takes minutes to get there.
  const Glide g = glideInSamples(currentDelay_, targetDelay_, sampleRate_);
  double current = g.current;
  for (int i = 0; i < n; ++i) {
    const double next = glideStep(g.target, current);
    if (std::bit_cast<std::uint64_t>(next) == std::bit_cast<std::uint64_t>(current))
      break;
    current = next;
  }
  writePos_ = static_cast<int>((static_cast<std::int64_t>(writePos_) + n) % bufferLength_);
  currentDelay_ = current / sampleRate_;
  return true;
}

void SimpleDelayKernel::process(float* samples, int n) noexcept {
  if (bufferLength_ < 1 || n < 1)
    return;
  const std::int64_t length = bufferLength_;
  const Glide glide = glideInSamples(currentDelay_, targetDelay_, sampleRate_);
  const double target = glide.target;
  double current = glide.current;
  const float fb = feedback_;
  float* const mem = buffer_.data();
  std::int64_t w = writePos_;
  int lastSound = -1; // the last sample that wrote anything but +0
  bool finite = true;

  for (int i = 0; i < n; ++i) {
    const float x = samples[i];
    mem[w] = x;
    current = glideStep(target, current);
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
    if (std::bit_cast<std::uint32_t>(mem[w]) != 0)
      lastSound = i;
    samples[i] = y;
    finite = finite && std::isfinite(y);
    w = w + 1 == length ? 0 : w + 1;
  }
  writePos_ = static_cast<int>(w);
  currentDelay_ = current / sampleRate_;
  const std::int64_t silent = lastSound < 0 ? std::int64_t{silentWrites_} + n : n - 1 - lastSound;
  silentWrites_ = static_cast<int>(std::min<std::int64_t>(silent, bufferLength_));
  // A non-finite sample in the memory would come round again and again.
  if (!finite)
    reset();
}

} // namespace quorvane::dsp
