// The demo's tempo limits and the rounding every tempo control goes through.
#pragma once

#include <algorithm>
#include <cmath>

inline constexpr double kMinDemoTempo = 40.0;
inline constexpr double kMaxDemoTempo = 240.0;
inline constexpr double kDefaultDemoTempo = 120.0;

// The nearest whole number of beats per minute (halves away from zero) within the limits; NaN
// gives the lower limit.
inline double limitedDemoTempo(double bpm) noexcept {
  if (std::isnan(bpm))
    return kMinDemoTempo;
  return std::clamp(std::round(bpm), kMinDemoTempo, kMaxDemoTempo);
}
