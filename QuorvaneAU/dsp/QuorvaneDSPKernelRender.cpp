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
  // A voice gone non-finite would never finish its release: it stops instead.
  for (Voice& v : voices_)
    if (v.isActive() && !v.hasFiniteState())
      v = Voice{};
  const bool anyVoice =
      std::any_of(voices_.begin(), voices_.end(), [](const Voice& v) { return v.isActive(); });

  // Modulation is taken as the previous block left it, before the LFO and drift advance. The
  // voices' constants change no state, so silence does without them.
  VoiceBlock block;
  if (anyVoice) {
    const float motion = parameter(P::motion);
    block.bank =
        computeBankConstants({parameter(P::shape), parameter(P::detuneSpread),
                              parameter(P::rowSpread), motion + (1.0f - motion) * modWheel_,
                              parameter(P::spacetime), lfoValue_, lfoValue120_, lfoValue240_});
    const float sr = static_cast<float>(sampleRate_);
    block.sustain = parameter(P::sustain);
    block.attackInc = 1.0f / (parameter(P::attack) * sr);
    block.decayDec = (1.0f - block.sustain) / (parameter(P::decay) * sr);
    block.releaseTimeSr = parameter(P::release) * sr;
  }

  setFilterForBlock(smoothPressures(n));
  advanceLFO(n);
  advanceDrift();

  std::fill(left, left + n, 0.0f);
  std::fill(right, right + n, 0.0f);
  if (anyVoice) {
    block.bendRatio = std::exp2(bendRange() * pitchBendNorm_ / 12.0f);
    block.subGain = 2.0f * std::sqrt(parameter(P::boost));
    for (Voice& v : voices_)
      if (v.isActive())
        renderVoice(wavetable_, v, block, left, right, n);
  }
  applyExpression(left, right, n);

  runOutputChain(left, right, n, !anyVoice && silenceSkipping_);
}

// The voices' sum scaled by expression, ramped across the block from where the last one ended
// so a change makes no step; at full expression untouched.
void QuorvaneDSPKernel::applyExpression(float* left, float* right, int n) noexcept {
  const float from = appliedExpression_, to = expression_;
  appliedExpression_ = to;
  if (from == 1.0f && to == 1.0f)
    return;
  const float step = n > 0 ? (to - from) / static_cast<float>(n) : 0.0f;
  for (int i = 0; i < n; ++i) {
    const float gain = from + step * static_cast<float>(i + 1);
    left[i] *= gain;
    right[i] *= gain;
  }
}

// Each stage below either runs or, while its channel is still all +0 and the stage holds
// silence, skips: what it would have written is +0 over +0, so only positions advance.
void QuorvaneDSPKernel::runOutputChain(float* left, float* right, int n, bool silent) noexcept {
  bool quiet[2] = {silent, silent};
  runFilterStage(left, right, n, quiet);

  // Blocks longer than prepared skip the stages that need scratch memory.
  const bool scratchFits = delayScratchL_.size() >= static_cast<std::size_t>(n);
  if (scratchFits)
    runDelayStage(left, right, n, quiet);

  // A gain that is finite and not negative keeps +0 at +0.
  const float gain = parameter(P::drive);
  const bool gainKeepsZero = std::isfinite(gain) && !std::signbit(gain);
  for (int c = 0; c < 2; ++c) {
    if (quiet[c] && gainKeepsZero)
      continue;
    float* const channel = c == 0 ? left : right;
    for (int i = 0; i < n; ++i)
      channel[i] *= gain;
    quiet[c] = false;
  }

  if (scratchFits)
    runReverbStage(left, right, n, quiet);

  lastBlockSkipped_ = quiet[0] && quiet[1];
  // tanh(+0) is +0.
  for (int c = 0; c < 2; ++c) {
    if (quiet[c])
      continue;
    float* const channel = c == 0 ? left : right;
    for (int i = 0; i < n; ++i)
      channel[i] = std::isfinite(channel[i]) ? std::tanh(channel[i]) : 0.0f;
  }
}

void QuorvaneDSPKernel::runFilterStage(float* left, float* right, int n,
                                       bool (&quiet)[2]) noexcept {
  IIRKernel* const stages[2][2] = {{&filterL_, &filterL2_}, {&filterR_, &filterR2_}};
  float* const channels[2] = {left, right};
  const int count = prevCascade_ ? 2 : 1;
  for (int c = 0; c < 2; ++c) {
    bool holds = quiet[c];
    for (int k = 0; k < count && holds; ++k)
      holds = stages[c][k]->holdsSilence();
    if (holds)
      continue;
    for (int k = 0; k < count; ++k)
      stages[c][k]->process(channels[c], n);
    quiet[c] = false;
  }
}

void QuorvaneDSPKernel::runDelayStage(float* left, float* right, int n, bool (&quiet)[2]) noexcept {
  const float time = parameter(P::echoTime);
  const float amount = parameter(P::echo);
  for (SimpleDelayKernel* d : {&delayL_, &delayR_}) {
    d->setDelay(time);
    d->setFeedback(amount * 0.7f);
  }
  const float wet = amount * 0.7f;
  SimpleDelayKernel* const delays[2] = {&delayL_, &delayR_};
  float* const channels[2] = {left, right};
  float* const scratch[2] = {delayScratchL_.data(), delayScratchR_.data()};
  for (int c = 0; c < 2; ++c) {
    // A finite wet gain adds ±0 to +0, which stays +0.
    if (quiet[c] && std::isfinite(wet) && delays[c]->skipSilence(n))
      continue;
    float* const x = channels[c];
    float* const s = scratch[c];
    std::copy(x, x + n, s);
    delays[c]->process(s, n);
    for (int i = 0; i < n; ++i)
      x[i] += wet * s[i];
    quiet[c] = false;
  }
}

void QuorvaneDSPKernel::runReverbStage(float* left, float* right, int n,
                                       bool (&quiet)[2]) noexcept {
  const float amount = parameter(P::space);
  if (amount != reverbSpace_) {
    reverbSpace_ = amount;
    reverbTime_ = 0.5f * std::pow(20.0f, amount); // 0.5 s to 10 s
    reverbLoopGain_ = static_cast<float>(
        std::pow(0.001, static_cast<double>(velvetEchoes_.loopLength()) /
                            (static_cast<double>(std::max(reverbTime_, 1e-6f)) * sampleRate_)));
  }
  velvetEchoes_.setReverbTime(reverbTime_);
  reverbL_.setFeedback(reverbLoopGain_);
  reverbR_.setFeedback(reverbLoopGain_);

  const float w = std::sqrt(amount);
  VelvetReverberator* const reverbs[2] = {&reverbL_, &reverbR_};
  const std::vector<VelvetEcho>* const taps[2] = {&velvetEchoes_.left(), &velvetEchoes_.right()};
  float* const channels[2] = {left, right};
  float* const scratch[2] = {delayScratchL_.data(), delayScratchR_.data()};
  for (int c = 0; c < 2; ++c) {
    // (1 - w)·(+0) + w·(+0) is +0 for a finite w: the products cannot both be -0.
    if (quiet[c] && std::isfinite(w) &&
        reverbs[c]->skipSilence(n, velvetEchoes_.amplitudesFinite()))
      continue;
    float* const x = channels[c];
    float* const s = scratch[c];
    std::copy(x, x + n, s);
    reverbs[c]->process(s, n, *taps[c]);
    for (int i = 0; i < n; ++i)
      x[i] = (1.0f - w) * x[i] + w * s[i];
    quiet[c] = false;
  }
}

} // namespace quorvane::dsp
