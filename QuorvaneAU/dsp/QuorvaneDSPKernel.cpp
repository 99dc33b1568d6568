// The synthesiser kernel: parameters, voice allocation, modulation and the render call.
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"

#include "QuorvaneAU/dsp/Lcg.h"
#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

constexpr float kTwoPi = 6.283185f;
constexpr auto kRelaxed = std::memory_order_relaxed;

} // namespace

QuorvaneDSPKernel::QuorvaneDSPKernel()
    : wavetable(Wavetable::shared()), rngState(randomNonZeroSeed()) {}

void QuorvaneDSPKernel::seed(std::uint32_t kernelSeed, std::uint32_t leftSeed,
                             std::uint32_t rightSeed) noexcept {
  const auto nonZero = [](std::uint32_t s) { return s == 0 ? 1u : s; };
  rngState = nonZero(kernelSeed);
  velvetEchoes.rngL = nonZero(leftSeed);
  velvetEchoes.rngR = nonZero(rightSeed);
}

void QuorvaneDSPKernel::prepare(int maxFrames, double rate) {
  // Checked before anything changes: the buffers are sized from the rate.
  if (!(rate >= kMinSampleRate && rate <= kMaxSampleRate))
    throw std::invalid_argument("sample rate " + std::to_string(rate) + " Hz is outside " +
                                std::to_string(static_cast<int>(kMinSampleRate)) + " to " +
                                std::to_string(static_cast<int>(kMaxSampleRate)) + " Hz");
  sampleRate = rate;
  for (IIRKernel* f : {&filterL, &filterR, &filterL2, &filterR2})
    f->sampleRate = rate;
  delayL.setSampleRate(rate);
  delayR.setSampleRate(rate);
  velvetEchoes.setSampleRate(rate);
  const float damping = static_cast<float>(1.0 - std::exp(-31415.926 / rate)); // 5 kHz one-pole
  for (VelvetReverberator* r : {&reverbL, &reverbR}) {
    r->configure(velvetEchoes.loopLength);
    r->dampingCoef = damping;
  }
  const std::size_t scratch = static_cast<std::size_t>(std::max(maxFrames, 1));
  delayScratchL.assign(scratch, 0.0f);
  delayScratchR.assign(scratch, 0.0f);
  reset();
}

void QuorvaneDSPKernel::reset() noexcept {
  voices.fill(Voice{});
  noteAgeCounter = 0;
  pitchBendNorm = channelPressure = targetChannelPressure = 0.0f;
  lfoPhase = lfoValue = lfoValue120 = lfoValue240 = 0.0f;
  driftValue = 0.0f;
  for (IIRKernel* f : {&filterL, &filterR, &filterL2, &filterR2})
    f->reset();
  prevCascade = false;
  delayL.reset();
  delayR.reset();
  reverbL.reset();
  reverbR.reset();
  std::fill(delayScratchL.begin(), delayScratchL.end(), 0.0f);
  std::fill(delayScratchR.begin(), delayScratchR.end(), 0.0f);
}

// The field of an address, const or not; null for addresses past the last parameter.
template <typename Kernel>
auto QuorvaneDSPKernel::field(Kernel& k, std::uint64_t address) noexcept -> decltype(&k.shape) {
  decltype(&k.shape) const fields[] = {
      &k.shape,         &k.detuneSpread,    &k.rowSpread,   &k.attackTime,
      &k.decayTime,     &k.sustainLevel,    &k.releaseTime, &k.rate,
      &k.motion,        &k.spacetime,       &k.drive,       &k.frequency,
      &k.resonance,     &k.drift,           &k.echo,        &k.filterType,
      &k.filterRolloff, &k.aftertouchDepth, &k.echoTime,    &k.boost,
      &k.space,
  };
  return address < std::size(fields) ? fields[address] : nullptr;
}

void QuorvaneDSPKernel::setParameter(std::uint64_t address, float value) noexcept {
  if (std::atomic<float>* f = field(*this, address))
    f->store(value, kRelaxed);
}

float QuorvaneDSPKernel::parameterValue(std::uint64_t address) const noexcept {
  const std::atomic<float>* f = field(*this, address);
  return f ? f->load(kRelaxed) : 0.0f;
}

void QuorvaneDSPKernel::noteOn(std::uint8_t note, int velocity) noexcept {
  // The first free voice, else the oldest note whatever its stage; ties keep the lowest index.
  Voice* chosen = nullptr;
  for (Voice& v : voices)
    if (!v.isActive()) {
      chosen = &v;
      break;
    }
  if (!chosen) {
    chosen = &voices[0];
    for (Voice& v : voices)
      if (v.startTime < chosen->startTime)
        chosen = &v;
  }

  noteAgeCounter += 1;

  const double ratio = std::exp2((static_cast<int>(note) - 69) / 12.0);
  const float inc = static_cast<float>(ratio * 440.0 / sampleRate) * 2048.0f;
  const float driftFactor = std::exp2(drift.load(kRelaxed) * driftValue * 25.0f / 1200.0f);

  Voice& v = *chosen;
  v.stage = Stage::attack;
  v.phase0 = v.phase1 = v.phase2 = v.phase3 = v.phaseSub = 0.0f;
  v.basePhaseInc = inc * driftFactor;
  // Two semitones of margin keep a full bend upwards band-limited.
  v.mipLevel = Wavetable::levelForIncrement(inc * driftFactor * 1.122462f);
  v.level = 0.0f;
  v.velAmp = static_cast<float>(velocity) / 127.0f * 0.125f;
  v.noteNumber = note;
  v.startTime = noteAgeCounter;
  v.aftertouch = v.targetAftertouch = 0.0f;
}

void QuorvaneDSPKernel::noteOff(std::uint8_t note) noexcept {
  for (Voice& v : voices)
    if (v.noteNumber == note && v.stage != Stage::off && v.stage != Stage::release) {
      v.stage = Stage::release;
      v.releaseStartLevel = v.level;
    }
}

void QuorvaneDSPKernel::setPolyPressure(std::uint8_t note, float pressure) noexcept {
  for (Voice& v : voices)
    if (v.noteNumber == note && v.stage != Stage::off && v.stage != Stage::release)
      v.targetAftertouch = pressure;
}

void QuorvaneDSPKernel::setChannelPressure(float pressure) noexcept {
  targetChannelPressure = pressure;
}

void QuorvaneDSPKernel::setPitchBend(float value) noexcept { pitchBendNorm = value; }

float QuorvaneDSPKernel::smoothPressures(int n) noexcept {
  const float sr = static_cast<float>(sampleRate);
  // A 30 ms one-pole advanced by the block length, so the pace ignores the block size.
  const float k = 1.0f - std::exp(-static_cast<float>(n) / (0.03f * sr));
  channelPressure += k * (targetChannelPressure - channelPressure);
  float maxAftertouch = 0.0f;
  for (Voice& v : voices)
    if (v.isActive()) {
      v.aftertouch += k * (v.targetAftertouch - v.aftertouch);
      maxAftertouch = std::max(maxAftertouch, v.aftertouch);
    }
  return maxAftertouch;
}

void QuorvaneDSPKernel::setFilterForBlock(float maxAftertouch) noexcept {
  const float pressure = std::max(channelPressure, maxAftertouch);
  const float x =
      clampFinite(frequency.load(kRelaxed) + aftertouchDepth.load(kRelaxed) * pressure, 0.0f, 1.0f);
  const double cutoff = 20.0 * std::pow(1000.0, static_cast<double>(x));
  const float r = clampFinite(resonance.load(kRelaxed), 0.0f, 1.0f);
  const double q = 0.707 * std::pow(11.315417256011315, static_cast<double>(r));

  // The clamps make the conversions defined for any float; they are wide enough that every
  // finite value keeps its meaning (a rolloff of 2 or more is 12 dB, a type of 3 or more is
  // low-pass).
  const bool cascade = truncateInto(filterRolloff.load(kRelaxed), 0, 2) == 1;
  if (cascade && !prevCascade) {
    // The second stage starts from silence rather than replaying old history.
    filterL2.reset();
    filterR2.reset();
  }
  prevCascade = cascade;

  const int type = truncateInto(filterType.load(kRelaxed), -1, 3);
  const auto setCoefficients = [type, cutoff, q](IIRKernel& f) {
    if (type == 2)
      f.setHighPass(cutoff, q);
    else if (type == 1)
      f.setBandPass(cutoff, q);
    else
      f.setLowPass(cutoff, q);
  };
  setCoefficients(filterL);
  setCoefficients(filterR);
  // While off, the second stage keeps stale coefficients; it is cleared when it comes back.
  if (cascade) {
    setCoefficients(filterL2);
    setCoefficients(filterR2);
  }
}

void QuorvaneDSPKernel::advanceLFO(int n) noexcept {
  const float sr = static_cast<float>(sampleRate);
  float phase = lfoPhase + rate.load(kRelaxed) * kTwoPi * static_cast<float>(n) / sr;
  // Absurd rates would make the subtraction below spin for ever.
  if (!(phase < kTwoPi * 1024.0f))
    phase = std::isfinite(phase) ? std::fmod(phase, kTwoPi) : 0.0f;
  while (phase >= kTwoPi)
    phase -= kTwoPi;
  lfoPhase = phase;
  lfoValue = std::sin(phase);
  lfoValue120 = std::sin(phase + 2.094395f);
  lfoValue240 = std::sin(phase + 4.18879f);
}

void QuorvaneDSPKernel::advanceDrift() noexcept {
  std::uint32_t s = lcgStep(rngState);
  const float x1 = lcgUnitFloat(s);
  s = lcgStep(s);
  const float x2 = lcgUnitFloat(s);
  rngState = s;
  // Box–Muller: a standard normal step for a damped random walk.
  const float g = std::sqrt(-2.0f * std::log(std::max(x1, 1e-7f))) * std::cos(kTwoPi * x2);
  driftValue = 0.5f * driftValue + 0.70710677f * g;
}
