// The synthesiser kernel: parameters, voice allocation, modulation and the render call.
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"

#include "QuorvaneAU/dsp/Lcg.h"
#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace quorvane::dsp {

namespace {

constexpr float kTwoPi = 6.283185f;
constexpr auto kRelaxed = std::memory_order_relaxed;
using P = QuorvaneParameter;

// Sounding with its key down: neither released nor kept by the pedal.
bool isHeld(const Voice& v) noexcept {
  return v.stage != Stage::off && v.stage != Stage::release && !v.sustained;
}

void release(Voice& v) noexcept {
  v.stage = Stage::release;
  v.releaseStartLevel = v.level;
  v.sustained = false;
}

} // namespace

QuorvaneDSPKernel::QuorvaneDSPKernel()
    : wavetable_(Wavetable::shared()), rngState_(randomNonZeroSeed()) {
  for (const foundation::ParameterRow& row : kQuorvaneParameters)
    parameters_[row.address].store(row.defaultValue, kRelaxed);
}

void QuorvaneDSPKernel::seed(std::uint32_t kernelSeed, std::uint32_t leftSeed,
                             std::uint32_t rightSeed) noexcept {
  const auto nonZero = [](std::uint32_t s) { return s == 0 ? 1u : s; };
  rngState_ = nonZero(kernelSeed);
  velvetEchoes_.seed(nonZero(leftSeed), nonZero(rightSeed));
}

void QuorvaneDSPKernel::prepare(int maxFrames, double rate) {
  // Checked before anything changes: the buffers are sized from the rate.
  if (!(rate >= kMinSampleRate && rate <= kMaxSampleRate))
    throw std::invalid_argument("sample rate " + std::to_string(rate) + " Hz is outside " +
                                std::to_string(static_cast<int>(kMinSampleRate)) + " to " +
                                std::to_string(static_cast<int>(kMaxSampleRate)) + " Hz");
  sampleRate_ = rate;
  for (IIRKernel* f : {&filterL_, &filterR_, &filterL2_, &filterR2_})
    f->prepare(rate);
  delayL_.prepare(rate);
  delayR_.prepare(rate);
  velvetEchoes_.prepare(rate);
  const float damping = static_cast<float>(1.0 - std::exp(-31415.926 / rate)); // 5 kHz one-pole
  for (VelvetReverberator* r : {&reverbL_, &reverbR_}) {
    r->prepare(velvetEchoes_.loopLength());
    r->setDamping(damping);
  }
  const std::size_t scratch = static_cast<std::size_t>(std::max(maxFrames, 1));
  delayScratchL_.assign(scratch, 0.0f);
  delayScratchR_.assign(scratch, 0.0f);
  filterInputs_.reset();
  smoothingFrames_ = -1;
  reverbSpace_.reset();
  reset();
}

void QuorvaneDSPKernel::reset() noexcept {
  voices_.fill(Voice{});
  noteAgeCounter_ = 0;
  pitchBendNorm_ = channelPressure_ = targetChannelPressure_ = modWheel_ = 0.0f;
  expression_ = targetExpression_ = appliedExpression_ = 1.0f;
  sustainPedal_ = false;
  lfoPhase_ = lfoValue_ = lfoValue120_ = lfoValue240_ = 0.0f;
  driftValue_ = 0.0f;
  for (IIRKernel* f : {&filterL_, &filterR_, &filterL2_, &filterR2_})
    f->reset();
  prevCascade_ = false;
  delayL_.reset();
  delayR_.reset();
  reverbL_.reset();
  reverbR_.reset();
  std::fill(delayScratchL_.begin(), delayScratchL_.end(), 0.0f);
  std::fill(delayScratchR_.begin(), delayScratchR_.end(), 0.0f);
}

void QuorvaneDSPKernel::setParameter(std::uint64_t address, float value) noexcept {
  // One bad value from a host must not reach the voices and the effects' feedback, where it
  // would outlive its correction.
  if (address >= kQuorvaneParameterCount || !std::isfinite(value))
    return;
  const foundation::ParameterRow& row = kQuorvaneParameters[address];
  parameters_[address].store(std::clamp(value, row.min, row.max), kRelaxed);
}

float QuorvaneDSPKernel::parameterValue(std::uint64_t address) const noexcept {
  return address < kQuorvaneParameterCount ? parameters_[address].load(kRelaxed) : 0.0f;
}

QuorvaneDSPKernel::Snapshot QuorvaneDSPKernel::snapshot() const noexcept {
  return {voices_,
          lfoPhase_,
          lfoValue_,
          lfoValue120_,
          lfoValue240_,
          driftValue_,
          pitchBendNorm_,
          channelPressure_,
          {filterL_.coefficients(), filterR_.coefficients(), filterL2_.coefficients(),
           filterR2_.coefficients()}};
}

void QuorvaneDSPKernel::setTuning(const std::array<double, 128>* hz) noexcept {
  if (!hz) {
    tuned_.store(false, std::memory_order_release);
    return;
  }
  for (std::size_t i = 0; i < hz->size(); ++i)
    tunedHz_[i].store((*hz)[i], std::memory_order_relaxed);
  tuned_.store(true, std::memory_order_release);
}

void QuorvaneDSPKernel::noteOn(std::uint8_t note, int velocity) noexcept {
  const bool tuned = tuned_.load(std::memory_order_acquire);
  const double tunedHz = tuned ? tunedHz_[note & 0x7F].load(std::memory_order_relaxed) : 0.0;
  if (tuned && !(tunedHz > 0.0))
    return; // a key the tuning leaves unmapped
  // The first free voice, else the oldest note whatever its stage; ties keep the lowest index.
  Voice* chosen = nullptr;
  for (Voice& v : voices_)
    if (!v.isActive()) {
      chosen = &v;
      break;
    }
  if (!chosen) {
    chosen = &voices_[0];
    for (Voice& v : voices_)
      if (v.startTime < chosen->startTime)
        chosen = &v;
  }

  noteAgeCounter_ += 1;

  const double ratio = std::exp2((static_cast<int>(note) - 69) / 12.0);
  const float inc = tuned ? static_cast<float>(tunedHz / sampleRate_) * 2048.0f
                          : static_cast<float>(ratio * 440.0 / sampleRate_) * 2048.0f;
  const float driftFactor = std::exp2(parameter(P::drift) * driftValue_ * 25.0f / 1200.0f);

  Voice& v = *chosen;
  v.stage = Stage::attack;
  v.phase0 = v.phase1 = v.phase2 = v.phase3 = v.phaseSub = 0.0f;
  v.basePhaseInc = inc * driftFactor;
  // A margin of the bend range keeps a full bend upwards band-limited. At ±2 it is the constant
  // the sound was made with, whatever the maths library's exp2 gives.
  const float range = bendRange();
  const float margin = range == 2.0f ? 1.122462f : std::exp2(range / 12.0f);
  v.mipLevel = Wavetable::levelForIncrement(inc * driftFactor * margin);
  v.level = 0.0f;
  v.velAmp = static_cast<float>(velocity) / 127.0f * 0.125f;
  v.noteNumber = note;
  v.startTime = noteAgeCounter_;
  v.aftertouch = v.targetAftertouch = 0.0f;
  v.sustained = false;
}

void QuorvaneDSPKernel::noteOff(std::uint8_t note) noexcept {
  for (Voice& v : voices_)
    if (v.noteNumber == note && isHeld(v))
      keyUp(v);
}

void QuorvaneDSPKernel::keyUp(Voice& v) noexcept {
  if (sustainPedal_)
    v.sustained = true;
  else
    release(v);
}

void QuorvaneDSPKernel::setPolyPressure(std::uint8_t note, float pressure) noexcept {
  for (Voice& v : voices_)
    if (v.noteNumber == note && v.stage != Stage::off && v.stage != Stage::release)
      v.targetAftertouch = pressure;
}

void QuorvaneDSPKernel::setChannelPressure(float pressure) noexcept {
  targetChannelPressure_ = pressure;
}

void QuorvaneDSPKernel::setPitchBend(float value) noexcept { pitchBendNorm_ = value; }

void QuorvaneDSPKernel::setSustainPedal(bool down) noexcept {
  sustainPedal_ = down;
  if (!down)
    for (Voice& v : voices_)
      if (v.sustained)
        release(v);
}

void QuorvaneDSPKernel::allNotesOff() noexcept {
  for (Voice& v : voices_)
    if (isHeld(v))
      keyUp(v);
}

void QuorvaneDSPKernel::allSoundOff() noexcept {
  voices_.fill(Voice{});
  // What the filters hold is the voices' sound too; the delay and reverb are effects with tails.
  for (IIRKernel* f : {&filterL_, &filterR_, &filterL2_, &filterR2_})
    f->reset();
}

void QuorvaneDSPKernel::resetControllers() noexcept {
  setSustainPedal(false);
  pitchBendNorm_ = 0.0f;
  targetChannelPressure_ = 0.0f;
  modWheel_ = 0.0f;
  targetExpression_ = 1.0f;
  for (Voice& v : voices_)
    v.targetAftertouch = 0.0f;
}

float QuorvaneDSPKernel::smoothPressures(int n) noexcept {
  const float sr = static_cast<float>(sampleRate_);
  // A 30 ms one-pole advanced by the block length, so the pace ignores the block size.
  if (n != smoothingFrames_) {
    smoothingFrames_ = n;
    smoothingStep_ = 1.0f - std::exp(-static_cast<float>(n) / (0.03f * sr));
  }
  const float k = smoothingStep_;
  channelPressure_ += k * (targetChannelPressure_ - channelPressure_);
  expression_ += k * (targetExpression_ - expression_);
  // The glide would never quite arrive in floats; once it is inaudibly close it has.
  if (std::abs(targetExpression_ - expression_) < 1e-6f)
    expression_ = targetExpression_;
  float maxAftertouch = 0.0f;
  for (Voice& v : voices_)
    if (v.isActive()) {
      v.aftertouch += k * (v.targetAftertouch - v.aftertouch);
      maxAftertouch = std::max(maxAftertouch, v.aftertouch);
    }
  return maxAftertouch;
}

void QuorvaneDSPKernel::setFilterForBlock(float maxAftertouch) noexcept {
  const float pressure = std::max(channelPressure_, maxAftertouch);
  const float x = foundation::clampFinite(
      parameter(P::frequency) + parameter(P::aftertouchDepth) * pressure, 0.0f, 1.0f);
  const float r = foundation::clampFinite(parameter(P::resonance), 0.0f, 1.0f);

  // The clamps make the conversions defined for any float; they are wide enough that every
  // finite value keeps its meaning (a rolloff of 2 or more is 12 dB, a type of 3 or more is
  // low-pass).
  const bool cascade = foundation::truncateInto(parameter(P::filterRolloff), 0, 2) == 1;
  if (cascade && !prevCascade_) {
    // The second stage starts from silence rather than replaying old history.
    filterL2_.reset();
    filterR2_.reset();
  }
  prevCascade_ = cascade;

  const FilterInputs inputs{foundation::truncateInto(parameter(P::filterType), -1, 3), x, r};
  if (inputs != filterInputs_) {
    filterInputs_ = inputs;
    const double cutoff = 20.0 * std::pow(1000.0, static_cast<double>(x));
    const double q = 0.707 * std::pow(11.315417256011315, static_cast<double>(r));
    if (inputs.type == 2)
      filterL_.setHighPass(cutoff, q);
    else if (inputs.type == 1)
      filterL_.setBandPass(cutoff, q);
    else
      filterL_.setLowPass(cutoff, q);
    filterR_.setCoefficients(filterL_.coefficients());
  }
  // While off, the second stage keeps stale coefficients; it is cleared when it comes back.
  if (cascade) {
    filterL2_.setCoefficients(filterL_.coefficients());
    filterR2_.setCoefficients(filterL_.coefficients());
  }
}

void QuorvaneDSPKernel::advanceLFO(int n) noexcept {
  const float sr = static_cast<float>(sampleRate_);
  float phase = lfoPhase_ + parameter(P::rate) * kTwoPi * static_cast<float>(n) / sr;
  // A non-finite phase restarts the LFO; absurd rates would make the subtraction below spin
  // for ever.
  if (!std::isfinite(phase))
    phase = 0.0f;
  else if (phase >= kTwoPi * 1024.0f)
    phase = std::fmod(phase, kTwoPi);
  while (phase >= kTwoPi)
    phase -= kTwoPi;
  lfoPhase_ = phase;
  lfoValue_ = std::sin(phase);
  lfoValue120_ = std::sin(phase + 2.094395f);
  lfoValue240_ = std::sin(phase + 4.18879f);
}

void QuorvaneDSPKernel::advanceDrift() noexcept {
  std::uint32_t s = lcgStep(rngState_);
  const float x1 = lcgUnitFloat(s);
  s = lcgStep(s);
  const float x2 = lcgUnitFloat(s);
  rngState_ = s;
  // Box–Muller: a standard normal step for a damped random walk.
  const float g = std::sqrt(-2.0f * std::log(std::max(x1, 1e-7f))) * std::cos(kTwoPi * x2);
  driftValue_ = 0.5f * driftValue_ + 0.70710677f * g;
}

} // namespace quorvane::dsp
