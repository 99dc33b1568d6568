// Stands in for the host the blues generator normally lives in: gives it the demo settings and
// the three host callbacks, renders it inside each synthesiser render cycle and forwards what
// it plays to the synthesiser.
#pragma once

#include "app/host/Demo.h"
#include "platform/audiounit/AUAudioUnit.h"

#include <memory>
#include <vector>

namespace app {

// Threads: construction, allNotesOff and destruction on the main thread; render on the
// synthesiser's render thread (from its pre-render observer). The main thread drives the demo
// by writing the state's tempo, isPlaying and transportStartSample.
// Why the demo driver could not be built, beyond the errors the generator itself reports.
enum class PallixDriverError {
  quorvaneNotReadyForMIDI, // the synthesiser offered no MIDI schedule entry
};

class PallixDriver {
public:
  using State = DemoState;

  // pallix: the generator; format: the synthesiser's output-bus format; synth: the unit the
  // generator plays. Applies the demo configuration, installs the host callbacks, sets the
  // generator's format and allocates it. Errors: PallixDriverError::quorvaneNotReadyForMIDI, or
  // the generator's own, unchanged.
  static AUResult<std::shared_ptr<PallixDriver>>
  create(std::shared_ptr<AUAudioUnit> pallix, const AudioFormat& format, AUAudioUnit& synth);

  // Deallocates the generator's render resources.
  ~PallixDriver();
  PallixDriver(const PallixDriver&) = delete;
  PallixDriver& operator=(const PallixDriver&) = delete;

  // One synthesiser render cycle: latches the start on the first cycle after Play, then renders
  // the generator over the cycle's frames in slices of at most maxFrames(), each stamped with
  // the cycle's sample time plus its offset. Render thread; never allocates.
  void render(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount) noexcept;

  // Controller 123 (All Notes Off) on each of the 16 channels, at the immediate time.
  void allNotesOff() const;

  State& state() const noexcept { return *state_; }
  AUAudioFrameCount maxFrames() const noexcept { return maxFrames_; }

private:
  explicit PallixDriver(std::shared_ptr<AUAudioUnit> pallix);
  AUResult<void> setUp(const AudioFormat& format, AUAudioUnit& synth);

  std::shared_ptr<AUAudioUnit> pallix_;
  AURenderBlock renderBlock_;
  AUScheduleMIDIEventBlock scheduleMIDI_;
  AUAudioFrameCount maxFrames_ = 0;
  std::uint32_t channels_ = 0;
  AudioBufferList bufferList_;
  std::vector<std::vector<float>> bufferData_; // one block of maxFrames_ per channel
  std::shared_ptr<State> state_;
  AURenderPullInputBlock noInput_;
  bool allocated_ = false;
};

} // namespace app
