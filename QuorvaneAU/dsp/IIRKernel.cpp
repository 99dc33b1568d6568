// Biquad coefficients from the Audio EQ Cookbook and a direct-form-I loop over a block.
#include "QuorvaneAU/dsp/IIRKernel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace quorvane::dsp {

void IIRKernel::prepare(double sampleRate) noexcept {
  sampleRate_ = sampleRate;
  reset();
}

void IIRKernel::reset() noexcept {
  carryIn_ = {};
  carryOut_ = {};
}

IIRKernel::Shape IIRKernel::shapeFor(double cutoff, double q) const noexcept {
  // The clamp keeps the top of the range below Nyquist at low sample rates.
  const double fc = std::min(cutoff, 0.45 * sampleRate_);
  const double w0 = 2.0 * std::numbers::pi * fc / sampleRate_;
  const double alpha = std::sin(w0) / (2.0 * q);
  return {std::cos(w0), alpha, 1.0 + alpha};
}

void IIRKernel::store(double b0, double b1, double b2, const Shape& s) noexcept {
  coefficients_ = {static_cast<float>(b0), static_cast<float>(b1), static_cast<float>(b2),
                   static_cast<float>(-2.0 * s.cosW0 / s.a0),
                   static_cast<float>((1.0 - s.alpha) / s.a0)};
}

void IIRKernel::setLowPass(double cutoff, double q) noexcept {
  const Shape s = shapeFor(cutoff, q);
  const double b0 = (1.0 - s.cosW0) / 2.0 / s.a0;
  store(b0, (1.0 - s.cosW0) / s.a0, b0, s);
}

void IIRKernel::setBandPass(double cutoff, double q) noexcept {
  const Shape s = shapeFor(cutoff, q);
  const double b0 = q * s.alpha / s.a0;
  store(b0, 0.0, -q * s.alpha / s.a0, s);
}

void IIRKernel::setHighPass(double cutoff, double q) noexcept {
  const Shape s = shapeFor(cutoff, q);
  const double b0 = (1.0 + s.cosW0) / 2.0 / s.a0;
  store(b0, -(1.0 + s.cosW0) / s.a0, b0, s);
}

bool IIRKernel::holdsSilence() const noexcept {
  for (const float v : {carryIn_[0], carryIn_[1], carryOut_[0], carryOut_[1]})
    if (std::bit_cast<std::uint32_t>(v) != 0)
      return false;
  for (const float c : coefficients_)
    if (!std::isfinite(c))
      return false;
  return !std::signbit(coefficients_[0]);
}

void IIRKernel::process(float* buffer, int frames) noexcept {
  const int n = std::min(frames, kMaxFrames);
  if (n < 1)
    return;
  const float b0 = coefficients_[0], b1 = coefficients_[1], b2 = coefficients_[2];
  const float a1 = coefficients_[3], a2 = coefficients_[4];
  float x2 = carryIn_[0], x1 = carryIn_[1];
  float y2 = carryOut_[0], y1 = carryOut_[1];
  for (int i = 0; i < n; ++i) {
    const float x = buffer[i];
    const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    buffer[i] = y;
  }
  // A blown-up filter recovers on the next block.
  const auto finiteOrZero = [](float v) { return std::isfinite(v) ? v : 0.0f; };
  carryIn_ = {finiteOrZero(x2), finiteOrZero(x1)};
  carryOut_ = {finiteOrZero(y2), finiteOrZero(y1)};
}

} // namespace quorvane::dsp
