// The synthesiser editor's tapers.
#include "QuorvaneAU/editor/KnobTaper.h"

#include <algorithm>
#include <cmath>

namespace quorvane::editor {

namespace {

constexpr float kLnTimeRange = 9.903487f;  // ln 20000
constexpr float kLnRateRange = 5.2983174f; // ln 200
constexpr float kLnGainRange = 2.3025851f; // ln 10

float clampedPosition(float x) noexcept { return std::clamp(x, 0.0f, 1.0f); }

} // namespace

Taper taperOf(AUParameterAddress address) noexcept {
  switch (std::min<AUParameterAddress>(address, 21)) {
  case 3:
  case 4:
  case 6:
    return Taper::time;
  case 7:
    return Taper::rate;
  case 10:
    return Taper::gain;
  default:
    return Taper::linear;
  }
}

float valueOfPosition(AUParameterAddress address, float x) noexcept {
  switch (taperOf(address)) {
  case Taper::time:
    return 0.001f * std::pow(20000.0f, clampedPosition(x));
  case Taper::rate:
    return 0.1f * std::pow(200.0f, clampedPosition(x));
  case Taper::gain:
    return std::pow(10.0f, clampedPosition(x));
  case Taper::linear:
    break;
  }
  return x;
}

float positionOfValue(AUParameterAddress address, float p) noexcept {
  switch (taperOf(address)) {
  case Taper::time:
    return p > 20.0f ? 1.0f : std::log(std::max(p, 0.001f) / 0.001f) / kLnTimeRange;
  case Taper::rate:
    return p > 20.0f ? 1.0f : std::log(std::max(p, 0.1f) / 0.1f) / kLnRateRange;
  case Taper::gain:
    return p > 10.0f ? 1.0f : std::log(std::max(p, 1.0f)) / kLnGainRange;
  case Taper::linear:
    break;
  }
  return p;
}

} // namespace quorvane::editor
