// Conversions of unchecked floats to indices and ranges that are defined for every input.
#pragma once

#include <cmath>

namespace foundation {

// Clamps into [lo, hi]; NaN counts as 0 before clamping. Unlike std::clamp, never returns NaN.
constexpr float clampFinite(float x, float lo, float hi) noexcept {
  if (x != x)
    x = 0.0f;
  return x < lo ? lo : (x > hi ? hi : x);
}

constexpr double clampFinite(double x, double lo, double hi) noexcept {
  if (x != x)
    x = 0.0;
  return x < lo ? lo : (x > hi ? hi : x);
}

// The integer part of x clamped into [lo, hi] first, so the conversion is never undefined.
constexpr int truncateInto(float x, int lo, int hi) noexcept {
  return static_cast<int>(clampFinite(x, static_cast<float>(lo), static_cast<float>(hi)));
}

constexpr long long truncateInto(double x, long long lo, long long hi) noexcept {
  return static_cast<long long>(clampFinite(x, static_cast<double>(lo), static_cast<double>(hi)));
}

} // namespace foundation
