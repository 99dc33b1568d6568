// Velvet-noise tap patterns: one random-sign tap at a random offset in each millisecond cell.
#include "QuorvaneAU/dsp/VelvetEchoes.h"

#include "QuorvaneAU/dsp/Lcg.h"

#include <algorithm>
#include <cmath>

namespace quorvane::dsp {

VelvetEchoes::VelvetEchoes() : rngL_(randomNonZeroSeed()), rngR_(randomNonZeroSeed()) {}

void VelvetEchoes::seed(std::uint32_t left, std::uint32_t right) noexcept {
  rngL_ = left;
  rngR_ = right;
}

void VelvetEchoes::prepare(double sampleRate) {
  sampleRate_ = static_cast<float>(sampleRate);
  spacing_ = static_cast<int>(std::lround(sampleRate / 1000.0));
  loopLength_ = spacing_ * 1000;
  drawPattern(left_, rngL_);
  drawPattern(right_, rngR_);
  lastKnownTime_ = -1.0f;
  amplitudesFinite_ = true; // all 0 until a time is set
}

void VelvetEchoes::drawPattern(std::vector<VelvetEcho>& taps, std::uint32_t& state) {
  taps.assign(kTapCount, VelvetEcho{});
  const float cell = static_cast<float>(spacing_);
  for (int k = 0; k < kTapCount; ++k) {
    state = lcgStep(state);
    const int jitter = static_cast<int>(lcgUnitFloat(state) * cell);
    taps[k].position = k * spacing_ + std::min(spacing_, jitter + 1);
    state = lcgStep(state);
    taps[k].sign = static_cast<std::int32_t>(state) < 0 ? 1.0f : -1.0f;
  }
}

void VelvetEchoes::setReverbTime(float seconds) noexcept {
  if (seconds == lastKnownTime_)
    return;
  lastKnownTime_ = seconds;
  const float samples = std::max(seconds, 1e-6f) * sampleRate_;
  bool finite = true;
  for (std::vector<VelvetEcho>* taps : {&left_, &right_})
    for (VelvetEcho& tap : *taps) {
      tap.amplitude = tap.sign * std::pow(0.001f, static_cast<float>(tap.position) / samples);
      finite = finite && std::isfinite(tap.amplitude);
    }
  amplitudesFinite_ = finite;
}

} // namespace quorvane::dsp
