// Velvet-noise tap patterns: one random-sign tap at a random offset in each millisecond cell.
#include "QuorvaneAU/dsp/VelvetEchoes.h"

#include "QuorvaneAU/dsp/Lcg.h"

#include <algorithm>
#include <cmath>

VelvetEchoes::VelvetEchoes() : rngL(randomNonZeroSeed()), rngR(randomNonZeroSeed()) {}

void VelvetEchoes::setSampleRate(double sr) {
  sampleRate = static_cast<float>(sr);
  spacing = static_cast<int>(std::lround(sr / 1000.0));
  loopLength = spacing * 1000;
  drawPattern(left, rngL);
  drawPattern(right, rngR);
  lastKnownTime = -1.0f;
}

void VelvetEchoes::drawPattern(std::vector<VelvetEcho>& taps, std::uint32_t& state) {
  taps.assign(kTapCount, VelvetEcho{});
  const float cell = static_cast<float>(spacing);
  for (int k = 0; k < kTapCount; ++k) {
    state = lcgStep(state);
    const int jitter = static_cast<int>(lcgUnitFloat(state) * cell);
    taps[k].position = k * spacing + std::min(spacing, jitter + 1);
    state = lcgStep(state);
    taps[k].sign = static_cast<std::int32_t>(state) < 0 ? 1.0f : -1.0f;
  }
}

void VelvetEchoes::update(float reverbTime) noexcept {
  if (reverbTime == lastKnownTime)
    return;
  lastKnownTime = reverbTime;
  const float samples = std::max(reverbTime, 1e-6f) * sampleRate;
  for (std::vector<VelvetEcho>* taps : {&left, &right})
    for (VelvetEcho& tap : *taps)
      tap.amplitude = tap.sign * std::pow(0.001f, static_cast<float>(tap.position) / samples);
}
