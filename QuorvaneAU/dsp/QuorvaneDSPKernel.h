// The synthesiser's sound engine: 16 voices, shared modulation, filter and effects chain.
#pragma once

#include "QuorvaneAU/dsp/IIRKernel.h"
#include "QuorvaneAU/dsp/SimpleDelayKernel.h"
#include "QuorvaneAU/dsp/VelvetEchoes.h"
#include "QuorvaneAU/dsp/VelvetReverberator.h"
#include "QuorvaneAU/dsp/Voice.h"
#include "QuorvaneAU/dsp/Wavetable.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

// Threads: setParameter and parameterValue may be called from any thread at any time.
// Everything else runs on one thread at a time: note, pressure, bend and renderFrames on the
// render thread; construction, seed, prepare and reset on a control thread outside rendering.
class QuorvaneDSPKernel {
public:
  static constexpr int kVoiceCount = 16;
  static constexpr int kFilterCapacity = IIRKernel::kDefaultCapacity;
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
  // Silences the voices and clears modulation and effect history; parameters stay.
  void reset() noexcept;

  // Stores a parameter value (no clamping); addresses 21 and above are ignored.
  void setParameter(std::uint64_t address, float value) noexcept;
  // The stored value; 0 for addresses 21 and above.
  float parameterValue(std::uint64_t address) const noexcept;

  void noteOn(std::uint8_t note, int velocity) noexcept;
  void noteOff(std::uint8_t note) noexcept;
  void setPolyPressure(std::uint8_t note, float pressure) noexcept;
  void setChannelPressure(float pressure) noexcept;
  void setPitchBend(float value) noexcept;

  // Overwrites left[0 ... frameCount-1] and right[0 ... frameCount-1] with the next block.
  // Never allocates, locks or fails; blocks longer than prepared skip delay and reverb.
  void renderFrames(float* left, float* right, int frameCount) noexcept;

  // Envelope.
  std::atomic<float> attackTime{0.005f};
  std::atomic<float> decayTime{0.08f};
  std::atomic<float> sustainLevel{0.4f};
  std::atomic<float> releaseTime{0.25f};

  std::array<Voice, kVoiceCount> voices{};
  std::uint64_t noteAgeCounter = 0;
  const Wavetable& wavetable;
  double sampleRate = 44100.0;

  // Output chain.
  IIRKernel filterL{kFilterCapacity};
  IIRKernel filterR{kFilterCapacity};
  IIRKernel filterL2{kFilterCapacity};
  IIRKernel filterR2{kFilterCapacity};
  SimpleDelayKernel delayL;
  SimpleDelayKernel delayR;
  std::vector<float> delayScratchL;
  std::vector<float> delayScratchR;
  VelvetEchoes velvetEchoes;
  VelvetReverberator reverbL;
  VelvetReverberator reverbR;
  bool prevCascade = false;

  // Parameters.
  std::atomic<float> shape{0.5f};
  std::atomic<float> detuneSpread{0.0f};
  std::atomic<float> rowSpread{0.0f};
  std::atomic<float> rate{1.0f};
  std::atomic<float> motion{0.0f};
  std::atomic<float> spacetime{0.0f};
  std::atomic<float> drive{1.0f};
  std::atomic<float> frequency{1.0f};
  std::atomic<float> resonance{0.0f};
  std::atomic<float> filterType{0.0f};
  std::atomic<float> filterRolloff{0.0f};
  std::atomic<float> echoTime{0.0f};
  std::atomic<float> boost{0.0f};
  std::atomic<float> space{0.0f};
  std::atomic<float> aftertouchDepth{0.0f};
  std::atomic<float> drift{0.0f};
  std::atomic<float> echo{0.0f};

  // Modulation.
  float lfoPhase = 0.0f; // radians, [0, 2π)
  float lfoValue = 0.0f;
  float lfoValue120 = 0.0f;
  float lfoValue240 = 0.0f;
  float driftValue = 0.0f;
  std::uint32_t rngState;
  float pitchBendNorm = 0.0f;
  float channelPressure = 0.0f;
  float targetChannelPressure = 0.0f;

private:
  template <typename Kernel>
  static auto field(Kernel& k, std::uint64_t address) noexcept -> decltype(&k.shape);

  // Block stages, in render order.
  float smoothPressures(int n) noexcept; // returns the largest aftertouch of an active voice
  void setFilterForBlock(float maxAftertouch) noexcept;
  void advanceLFO(int n) noexcept;
  void advanceDrift() noexcept;
  void runOutputChain(float* left, float* right, int n) noexcept;
  void runDelayStage(float* left, float* right, int n) noexcept;
  void runReverbStage(float* left, float* right, int n) noexcept;
};
