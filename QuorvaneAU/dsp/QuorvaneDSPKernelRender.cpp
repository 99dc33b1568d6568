// The kernel's render call: block set-up, the voice mix and the output chain (filter, delay,
// drive, reverb, saturator).
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "QuorvaneAU/dsp/VoiceRenderer.h"

#include <algorithm>
#include <cmath>

namespace quorvane::dsp {

namespace {

using P = QuorvaneParameter;

} // namespace

void QuorvaneDSPKernel::renderFrames(float* left, float* right, int frameCount) noexcept {
  const int n = std::max(frameCount, 0);

  // Modulation is taken as the previous block left it, before the LFO and drift advance.
  VoiceBlock block;
  block.bank = computeBankConstants(
      {parameter(P::shape), parameter(P::detuneSpread), parameter(P::rowSpread),
       parameter(P::motion), parameter(P::spacetime), lfoValue_, lfoValue120_, lfoValue240_});

  const float sr = static_cast<float>(sampleRate_);
  block.sustain = parameter(P::sustain);
  block.attackInc = 1.0f / (parameter(P::attack) * sr);
  block.decayDec = (1.0f - block.sustain) / (parameter(P::decay) * sr);
  block.releaseTimeSr = parameter(P::release) * sr;

  setFilterForBlock(smoothPressures(n));
  advanceLFO(n);
  advanceDrift();
  block.bendRatio = std::exp2(2.0f * pitchBendNorm_ / 12.0f); // ±2 semitones
  block.subGain = 2.0f * std::sqrt(parameter(P::boost));

  std::fill(left, left + n, 0.0f);
  std::fill(right, right + n, 0.0f);
  for (Voice& v : voices_) {
    // A voice gone non-finite would never finish its release: it stops instead.
    if (v.isActive() && !v.hasFiniteState())
      v = Voice{};
    if (v.isActive())
      renderVoice(wavetable_, v, block, left, right, n);
  }

  runOutputChain(left, right, n);
}

void QuorvaneDSPKernel::runOutputChain(float* left, float* right, int n) noexcept {
  filterL_.process(left, n);
  filterR_.process(right, n);
  if (prevCascade_) {
    filterL2_.process(left, n);
    filterR2_.process(right, n);
  }

  // Blocks longer than prepared skip the stages that need scratch memory.
  const bool scratchFits = delayScratchL_.size() >= static_cast<std::size_t>(n);
  if (scratchFits)
    runDelayStage(left, right, n);

  const float gain = parameter(P::drive);
  for (int i = 0; i < n; ++i) {
    left[i] *= gain;
    right[i] *= gain;
  }

  if (scratchFits)
    runReverbStage(left, right, n);

  for (float* channel : {left, right})
    for (int i = 0; i < n; ++i)
      channel[i] = std::isfinite(channel[i]) ? std::tanh(channel[i]) : 0.0f;
}

void QuorvaneDSPKernel::runDelayStage(float* left, float* right, int n) noexcept {
  const float time = parameter(P::echoTime);
  const float amount = parameter(P::echo);
  for (SimpleDelayKernel* d : {&delayL_, &delayR_}) {
    d->setDelay(time);
    d->setFeedback(amount * 0.7f);
  }
  float* const scratchL = delayScratchL_.data();
  float* const scratchR = delayScratchR_.data();
  std::copy(left, left + n, scratchL);
  std::copy(right, right + n, scratchR);
  delayL_.process(scratchL, n);
  delayR_.process(scratchR, n);
  const float wet = amount * 0.7f;
  for (int i = 0; i < n; ++i) {
    left[i] += wet * scratchL[i];
    right[i] += wet * scratchR[i];
  }
}

void QuorvaneDSPKernel::runReverbStage(float* left, float* right, int n) noexcept {
  const float amount = parameter(P::space);
  const float time = 0.5f * std::pow(20.0f, amount); // 0.5 s to 10 s
  velvetEchoes_.setReverbTime(time);
  const float loopGain = static_cast<float>(
      std::pow(0.001, static_cast<double>(velvetEchoes_.loopLength()) /
                          (static_cast<double>(std::max(time, 1e-6f)) * sampleRate_)));
  reverbL_.setFeedback(loopGain);
  reverbR_.setFeedback(loopGain);

  float* const scratchL = delayScratchL_.data();
  float* const scratchR = delayScratchR_.data();
  std::copy(left, left + n, scratchL);
  std::copy(right, right + n, scratchR);
  reverbL_.process(scratchL, n, velvetEchoes_.left());
  reverbR_.process(scratchR, n, velvetEchoes_.right());
  const float w = std::sqrt(amount);
  for (int i = 0; i < n; ++i) {
    left[i] = (1.0f - w) * left[i] + w * scratchL[i];
    right[i] = (1.0f - w) * right[i] + w * scratchR[i];
  }
}

} // namespace quorvane::dsp
