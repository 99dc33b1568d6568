// The kernel's render call: block set-up, the voice mix and the output chain (filter, delay,
// drive, reverb, saturator).
#include "QuorvaneAU/dsp/DenormalGuard.h"
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "platform/foundation/SafeConvert.h"
#include "QuorvaneAU/dsp/VoiceRenderer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

} // namespace

void QuorvaneDSPKernel::renderFrames(float* left, float* right, int frameCount) noexcept {
  DenormalGuard denormals;
  const int n = std::max(frameCount, 0);

  // Modulation is taken as the previous block left it, before the LFO and drift advance.
  VoiceBlock block;
  block.bank = computeBankConstants({shape.load(kRelaxed), detuneSpread.load(kRelaxed),
                                     rowSpread.load(kRelaxed), motion.load(kRelaxed),
                                     spacetime.load(kRelaxed), lfoValue, lfoValue120, lfoValue240});

  const float sr = static_cast<float>(sampleRate);
  block.sustain = sustainLevel.load(kRelaxed);
  block.attackInc = 1.0f / (attackTime.load(kRelaxed) * sr);
  block.decayDec = (1.0f - block.sustain) / (decayTime.load(kRelaxed) * sr);
  block.releaseTimeSr = releaseTime.load(kRelaxed) * sr;

  setFilterForBlock(smoothPressures(n));
  advanceLFO(n);
  advanceDrift();
  block.bendRatio = std::exp2(2.0f * pitchBendNorm / 12.0f); // ±2 semitones
  block.subGain = 2.0f * std::sqrt(boost.load(kRelaxed));

  std::fill(left, left + n, 0.0f);
  std::fill(right, right + n, 0.0f);
  for (Voice& v : voices)
    if (v.isActive())
      renderVoice(wavetable, v, block, left, right, n);

  runOutputChain(left, right, n);
}

void QuorvaneDSPKernel::runOutputChain(float* left, float* right, int n) noexcept {
  filterL.process(left, n);
  filterR.process(right, n);
  if (prevCascade) {
    filterL2.process(left, n);
    filterR2.process(right, n);
  }

  // Blocks longer than prepared skip the stages that need scratch memory.
  const bool scratchFits = delayScratchL.size() >= static_cast<std::size_t>(n);
  if (scratchFits)
    runDelayStage(left, right, n);

  const float gain = drive.load(kRelaxed);
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
  const float time = echoTime.load(kRelaxed);
  const float amount = echo.load(kRelaxed);
  for (SimpleDelayKernel* d : {&delayL, &delayR}) {
    d->delaySeconds = time;
    // Also kept non-negative and finite: the time becomes a buffer index.
    const double longest = static_cast<double>(d->bufferLength - 1) / d->sampleRate;
    d->targetDelay = std::min(longest, clampFinite(static_cast<double>(time), 0.0, longest));
    d->feedback = amount * 0.7f;
  }
  float* const scratchL = delayScratchL.data();
  float* const scratchR = delayScratchR.data();
  std::copy(left, left + n, scratchL);
  std::copy(right, right + n, scratchR);
  delayL.process(scratchL, n);
  delayR.process(scratchR, n);
  const float wet = amount * 0.7f;
  for (int i = 0; i < n; ++i) {
    left[i] += wet * scratchL[i];
    right[i] += wet * scratchR[i];
  }
}

void QuorvaneDSPKernel::runReverbStage(float* left, float* right, int n) noexcept {
  const float amount = space.load(kRelaxed);
  const float time = 0.5f * std::pow(20.0f, amount); // 0.5 s to 10 s
  velvetEchoes.update(time);
  const float loopGain = static_cast<float>(
      std::pow(0.001, static_cast<double>(velvetEchoes.loopLength) /
                          (static_cast<double>(std::max(time, 1e-6f)) * sampleRate)));
  reverbL.feedback = reverbR.feedback = loopGain;

  float* const scratchL = delayScratchL.data();
  float* const scratchR = delayScratchR.data();
  std::copy(left, left + n, scratchL);
  std::copy(right, right + n, scratchR);
  reverbL.process(scratchL, n, velvetEchoes.left);
  reverbR.process(scratchR, n, velvetEchoes.right);
  const float w = std::sqrt(amount);
  for (int i = 0; i < n; ++i) {
    left[i] = (1.0f - w) * left[i] + w * scratchL[i];
    right[i] = (1.0f - w) * right[i] + w * scratchR[i];
  }
}
