// The kernel's render call: the voice mix, vectorised over the four unison oscillators, and
// the output chain (filter, delay, drive, reverb, saturator).
#include "QuorvaneAU/dsp/DenormalGuard.h"
#include "QuorvaneAU/dsp/Float4.h"
#include "QuorvaneAU/dsp/OscillatorBank.h"
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "QuorvaneAU/dsp/SafeConvert.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr float kTableLength = static_cast<float>(Wavetable::kRowLength);

// Increments stay in [0, 2048] so one wrap per sample keeps every phase inside the table
// whatever the parameters; only frequencies above the sample rate are affected.
float safeIncrement(float inc) noexcept { return clampFinite(inc, 0.0f, kTableLength); }

inline Float4 gather(const float* table, const int (&base)[4], Int4 idx) noexcept {
  return Float4{table[base[0] + idx[0]], table[base[1] + idx[1]], table[base[2] + idx[2]],
                table[base[3] + idx[3]]};
}

} // namespace

void QuorvaneDSPKernel::renderFrames(float* left, float* right, int frameCount) noexcept {
  DenormalGuard denormals;
  const int n = std::max(frameCount, 0);

  const BankConstants bank = computeBankConstants(
      {shape.load(kRelaxed), detuneSpread.load(kRelaxed), rowSpread.load(kRelaxed),
       motion.load(kRelaxed), spacetime.load(kRelaxed), lfoValue, lfoValue120, lfoValue240});

  const float sr = static_cast<float>(sampleRate);
  const float sustain = sustainLevel.load(kRelaxed);
  const float attackInc = 1.0f / (attackTime.load(kRelaxed) * sr);
  const float decayDec = (1.0f - sustain) / (decayTime.load(kRelaxed) * sr);
  const float releaseTimeSr = releaseTime.load(kRelaxed) * sr;

  const float maxAftertouch = smoothPressures(n);
  setFilterForBlock(maxAftertouch);
  advanceLFO(n);
  advanceDrift();
  const float bendRatio = std::exp2(2.0f * pitchBendNorm / 12.0f);
  const float subGain = 2.0f * std::sqrt(boost.load(kRelaxed));

  std::fill(left, left + n, 0.0f);
  std::fill(right, right + n, 0.0f);
  for (Voice& v : voices)
    if (v.isActive())
      renderVoice(v, bank, bendRatio, attackInc, decayDec, sustain, releaseTimeSr, subGain,
                  left, right, n);

  runOutputChain(left, right, n);
}

void QuorvaneDSPKernel::renderVoice(Voice& v, const BankConstants& bank, float bendRatio,
                                    float attackInc, float decayDec, float sustain,
                                    float releaseTimeSr, float subGain, float* __restrict left,
                                    float* __restrict right, int n) noexcept {
  const float* const table = wavetable.samples.data();
  const int base = levelBase(v.mipLevel);
  const int subBase = levelBase(v.mipLevel - 1);

  int loBase[4], hiBase[4];
  for (int i = 0; i < 4; ++i) {
    loBase[i] = base + bank.unison[i].rowLo * Wavetable::kRowLength;
    hiBase[i] = base + bank.unison[i].rowHi * Wavetable::kRowLength;
  }
  const Float4 rowFrac = {bank.unison[0].rowFrac, bank.unison[1].rowFrac,
                          bank.unison[2].rowFrac, bank.unison[3].rowFrac};
  const Float4 gainL = {bank.gainL[0], bank.gainL[1], bank.gainL[2], bank.gainL[3]};
  const Float4 gainR = {bank.gainR[0], bank.gainR[1], bank.gainR[2], bank.gainR[3]};
  Float4 inc = {};
  for (int i = 0; i < 4; ++i)
    inc[i] = safeIncrement(bank.detuneRatio[i] * bendRatio * v.basePhaseInc);
  const float subInc = safeIncrement(0.5f * bendRatio * v.basePhaseInc); // an octave down

  Float4 phase = {v.phase0, v.phase1, v.phase2, v.phase3};
  float phaseSub = v.phaseSub;
  float level = v.level;
  Stage stage = v.stage;
  const float velAmp = v.velAmp;
  const float releaseDec = v.releaseStartLevel / releaseTimeSr;

  for (int j = 0; j < n; ++j) {
    const Int4 whole = truncateToInt(phase);
    const Float4 f = phase - toFloat(whole);
    const Int4 idx = whole & Wavetable::kRowMask;
    const Int4 next = (idx + 1) & Wavetable::kRowMask;
    const Float4 lo0 = gather(table, loBase, idx);
    const Float4 lo1 = gather(table, loBase, next);
    const Float4 hi0 = gather(table, hiBase, idx);
    const Float4 hi1 = gather(table, hiBase, next);
    const Float4 lo = lo0 + f * (lo1 - lo0);
    const Float4 hi = hi0 + f * (hi1 - hi0);
    const Float4 o = lo + rowFrac * (hi - lo);
    const float s = oscillatorValue(table, subBase, bank.sub, phaseSub);

    const float a = velAmp * 0.25f * level;
    const Float4 pl = gainL * o;
    const Float4 pr = gainR * o;
    left[j] += a * (pl[0] + pl[1] + pl[2] + pl[3]) + a * subGain * s;
    right[j] += a * (pr[0] + pr[1] + pr[2] + pr[3]) + a * subGain * s;

    phase = wrapOnce(phase + inc, kTableLength);
    phaseSub += subInc;
    if (phaseSub >= kTableLength)
      phaseSub -= kTableLength;

    switch (stage) {
    case Stage::attack:
      level += attackInc;
      if (level >= 1.0f) {
        level = 1.0f;
        stage = Stage::decay;
      }
      break;
    case Stage::decay:
      level -= decayDec;
      if (level <= sustain) {
        level = sustain;
        stage = Stage::sustain;
      }
      break;
    case Stage::sustain:
      level = sustain;
      break;
    case Stage::release:
      level -= releaseDec;
      if (level <= 0.0f) {
        level = 0.0f;
        stage = Stage::off;
      }
      break;
    case Stage::off:
      break;
    }
    if (stage == Stage::off)
      break; // silent for the rest of the block
  }

  v.phase0 = phase[0];
  v.phase1 = phase[1];
  v.phase2 = phase[2];
  v.phase3 = phase[3];
  v.phaseSub = phaseSub;
  v.level = level;
  v.stage = stage;
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
