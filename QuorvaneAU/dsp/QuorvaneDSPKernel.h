// The synthesiser's sound engine: 16 voices, shared modulation, filter and effects chain.
#pragma once

#include "QuorvaneAU/dsp/IIRKernel.h"
#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "QuorvaneAU/dsp/SimpleDelayKernel.h"
#include "QuorvaneAU/dsp/VelvetEchoes.h"
#include "QuorvaneAU/dsp/VelvetReverberator.h"
#include "QuorvaneAU/dsp/Voice.h"
#include "QuorvaneAU/dsp/Wavetable.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace quorvane::dsp {

// Threads: setParameter and parameterValue may be called from any thread at any time.
// Everything else runs on one thread at a time: notes, pressure, bend, controllers and
// renderFrames on the render thread; construction, seed, prepare and reset on a control thread
// outside rendering.
class QuorvaneDSPKernel {
public:
  static constexpr int kVoiceCount = 16;
  static constexpr double kMinSampleRate = 1000.0;
  static constexpr double kMaxSampleRate = 1000000.0;

  // Seeds every random source from the system's random device.
  QuorvaneDSPKernel();

  // Seeds the kernel's LCG and the reverb's two pattern generators (each 1 ... 2^32-1; 0
  // becomes 1). Call before prepare: prepare draws the reverb patterns.
  void seed(std::uint32_t kernelSeed, std::uint32_t leftSeed, std::uint32_t rightSeed) noexcept;

  // Sizes every buffer for blocks of up to maxFrames at sampleRate, then resets. Throws
  // std::invalid_argument, changing nothing, for a rate outside kMinSampleRate ... kMaxSampleRate
  // (NaN included), and std::bad_alloc when memory runs out.
  void prepare(int maxFrames, double sampleRate);
  // Silences the voices, lifts the pedal and clears modulation and effect history; parameters
  // stay.
  void reset() noexcept;

  // Stores a parameter value within its range; non-finite values and addresses past the last
  // parameter are ignored.
  void setParameter(std::uint64_t address, float value) noexcept;
  void setParameter(QuorvaneParameter p, float value) noexcept { setParameter(address(p), value); }
  // The stored value; 0 for addresses past the last parameter.
  float parameterValue(std::uint64_t address) const noexcept;

  // The frequency each MIDI note starts at under a tuning (a key of 0 Hz or NaN plays
  // nothing), or none: the equal-tempered A 440 of the note number. Any thread: each note's
  // frequency is one atomic word, and a note takes what it finds when it starts.
  void setTuning(const std::array<double, 128>* hz) noexcept;
  bool isTuned() const noexcept { return tuned_.load(std::memory_order_acquire); }

  void noteOn(std::uint8_t note, int velocity) noexcept;
  // Releases the note's held voices; while the pedal is down they keep sounding, sustained.
  void noteOff(std::uint8_t note) noexcept;
  void setPolyPressure(std::uint8_t note, float pressure) noexcept;
  void setChannelPressure(float pressure) noexcept;
  void setPitchBend(float value) noexcept;
  // The mod wheel, 0 … 1: takes Motion the rest of the way to 1 (at 0 Motion alone).
  void setModWheel(float value) noexcept { modWheel_ = value; }
  // Expression, 0 … 1: the voices' level, glided as pressure is.
  void setExpression(float value) noexcept { targetExpression_ = value; }

  // Lifting the pedal releases every sustained voice as its note-off would have.
  void setSustainPedal(bool down) noexcept;
  // Every held voice as by its note-off, so a pedal that is down keeps them sounding.
  void allNotesOff() noexcept;
  // Every voice stops at once, without release, and the filter forgets it; the delay and
  // reverb keep their tails.
  void allSoundOff() noexcept;
  // Pedal up, bend centred, channel and key pressure heading for 0, the mod wheel at 0 and
  // expression heading for full.
  void resetControllers() noexcept;

  // Overwrites left[0 ... frameCount-1] and right[0 ... frameCount-1] with the next block.
  // Never allocates, locks or fails; blocks longer than prepared skip delay and reverb, and
  // frames past IIRKernel::kMaxFrames skip the filter. Expects denormals flushed to zero, as
  // the audio-unit render wrapper arranges (DenormalGuard): without, the smallest values of
  // decaying tails come out differently and slowly.
  void renderFrames(float* left, float* right, int frameCount) noexcept;

  // With no voice sounding, each stage of the output chain whose input and state are exactly
  // silent skips its per-sample work, advancing only what it would have advanced; the output
  // and every later block are bit for bit the same either way. On by default; off lets tests
  // and measurements compare the two. Control thread, outside rendering.
  void setSilenceSkipping(bool on) noexcept { silenceSkipping_ = on; }
  // Whether the last render call found no voice sounding and skipped every stage of the output
  // chain, doing no per-sample work but clearing the output. Render thread, between calls.
  bool lastBlockSkipped() const noexcept { return lastBlockSkipped_; }

  // A read-only copy of inner state, for tests that check the voice pool, the modulation and
  // the filter settings against models; nothing outside reaches the state itself. Between
  // render calls, on the thread that renders or a control thread.
  struct Snapshot {
    std::array<Voice, kVoiceCount> voices;
    float lfoPhase; // radians, [0, 2π)
    float lfo;      // sine of the phase, and of the phase 120° and 240° on
    float lfo120;
    float lfo240;
    float drift;           // the random walk, in units of 25 cents at Drift 1
    float pitchBend;       // -1 ... 1
    float channelPressure; // smoothed
    // b0, b1, b2, a1, a2 of the left, right, second left and second right biquads.
    std::array<std::array<float, 5>, 4> filterCoefficients;
  };
  Snapshot snapshot() const noexcept;

private:
  float parameter(QuorvaneParameter p) const noexcept {
    return parameters_[address(p)].load(std::memory_order_relaxed);
  }
  // Whole semitones, 1 ... 24 (setParameter holds the value to the range).
  float bendRange() const noexcept { return std::round(parameter(QuorvaneParameter::bendRange)); }

  // Block stages, in render order.
  float smoothPressures(int n) noexcept; // returns the largest aftertouch of an active voice
  void setFilterForBlock(float maxAftertouch) noexcept;
  void advanceLFO(int n) noexcept;
  void advanceDrift() noexcept;
  // silent[c]: channel c holds only +0, so stages that hold silence may skip it.
  void applyExpression(float* left, float* right, int n) noexcept;
  void runOutputChain(float* left, float* right, int n, bool silent) noexcept;
  void runFilterStage(float* left, float* right, int n, bool (&silent)[2]) noexcept;
  void runDelayStage(float* left, float* right, int n, bool (&silent)[2]) noexcept;
  void runReverbStage(float* left, float* right, int n, bool (&silent)[2]) noexcept;

  // A voice whose key went up: released, or sustained while the pedal is down.
  void keyUp(Voice& v) noexcept;

  // Indexed by address; relaxed atomics, so any thread may set them while rendering.
  std::array<std::atomic<float>, kQuorvaneParameterCount> parameters_;
  std::array<std::atomic<double>, 128> tunedHz_{};
  std::atomic<bool> tuned_{false};
  static_assert(std::atomic<double>::is_always_lock_free);

  std::array<Voice, kVoiceCount> voices_{};
  std::uint64_t noteAgeCounter_ = 0;
  const Wavetable& wavetable_;
  double sampleRate_ = 44100.0;

  // Output chain.
  IIRKernel filterL_;
  IIRKernel filterR_;
  IIRKernel filterL2_;
  IIRKernel filterR2_;
  bool prevCascade_ = false; // the second biquads ran in the last block
  // Block-rate settings, kept with the values they were computed from: most calls repeat
  // them, and short calls would otherwise spend much of their time on the same arithmetic.
  // prepare forgets them.
  struct FilterInputs {
    int type;
    float position; // the cutoff's place in 0 ... 1, pressure included
    float resonance;
    bool operator==(const FilterInputs&) const = default;
  };
  std::optional<FilterInputs> filterInputs_;
  int smoothingFrames_ = -1; // the call length smoothingStep_ is for
  float smoothingStep_ = 0.0f;
  std::optional<float> reverbSpace_; // the Space reverbLoopGain_ is for
  float reverbTime_ = 0.0f;
  float reverbLoopGain_ = 0.0f;
  SimpleDelayKernel delayL_;
  SimpleDelayKernel delayR_;
  std::vector<float> delayScratchL_; // the delay's and the reverb's wet signal
  std::vector<float> delayScratchR_;
  VelvetEchoes velvetEchoes_;
  VelvetReverberator reverbL_;
  VelvetReverberator reverbR_;

  // Modulation.
  float lfoPhase_ = 0.0f; // radians, [0, 2π)
  float lfoValue_ = 0.0f;
  float lfoValue120_ = 0.0f;
  float lfoValue240_ = 0.0f;
  float driftValue_ = 0.0f;
  std::uint32_t rngState_;
  float pitchBendNorm_ = 0.0f;
  float channelPressure_ = 0.0f;
  float targetChannelPressure_ = 0.0f;
  float modWheel_ = 0.0f;
  float expression_ = 1.0f, targetExpression_ = 1.0f;
  float appliedExpression_ = 1.0f; // where the last block's gain ramp ended
  bool sustainPedal_ = false;
  bool silenceSkipping_ = true;
  bool lastBlockSkipped_ = false;
};

} // namespace quorvane::dsp
