// The render side of a unit: what renderBlock, scheduleMIDIEventBlock and render observers
// share, kept apart from the unit so that blocks a host holds never keep the unit alive.
#pragma once

#include "platform/audiounit/MIDIEventQueue.h"
#include "platform/audiounit/ObserverList.h"
#include "platform/audiounit/PendingMIDIEvents.h"
#include "platform/audiounit/RenderEventList.h"
#include "platform/audiounit/RenderTypes.h"

#include <atomic>
#include <cstdint>

// Threads: prepare() and unprepare() on the main or a control thread while no render call
// runs; scheduleMIDI() on any thread; render() on one render thread at a time. render() and
// scheduleMIDI() never allocate, lock, throw or do I/O.
class AURenderCore {
public:
  static constexpr std::size_t kRenderObserverCapacity = 16;
  // Room for every pending scheduled event plus this many host events before the last of them.
  static constexpr std::size_t kHostEventsBeforeScheduled = 1024;

  AURenderCore();
  AURenderCore(const AURenderCore&) = delete;
  AURenderCore& operator=(const AURenderCore&) = delete;

  // Render resources allocated: render calls run the unit's block with at most maximumFrames.
  void prepare(AUInternalRenderBlock block, AUAudioFrameCount maximumFrames);
  // Render calls are refused from now on. The block stays until the next prepare, so that a
  // render call racing a careless host's teardown never meets a destroyed block.
  void unprepare() noexcept;
  bool prepared() const noexcept { return allocated.load(std::memory_order_acquire); }

  // Queues a message of 1 to 3 bytes; anything else, or a message that finds the queue full,
  // is dropped and counted.
  void scheduleMIDI(AUEventSampleTime time, std::uint8_t cable, int length,
                    const std::uint8_t* bytes) noexcept;
  std::uint64_t droppedMIDIEventCount() const noexcept {
    return dropped_.load(std::memory_order_relaxed);
  }

  // The render-block wrapper: refuses (kAudioUnitErr_Uninitialized) when not prepared,
  // refuses (kAudioUnitErr_TooManyFramesToProcess) more frames than prepared for, refuses
  // (kAudio_ParamError) a null time stamp or buffer list; in each case nothing else runs.
  // Otherwise: pre-render observers, hand-over of due scheduled MIDI, the unit's block,
  // post-render observers, all with denormals flushed to zero (DenormalGuard) and the caller's
  // floating-point mode restored after; returns the block's status.
  OSStatus render(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                  AUAudioFrameCount frameCount, long outputBusNumber, AudioBufferList* outputData,
                  const AURenderEvent* hostEvents, const AURenderPullInputBlock& pull) noexcept;

  // Busses read it to refuse format changes while allocated.
  std::atomic<bool> allocated{false};

  ObserverList<kRenderObserverCapacity, AudioUnitRenderActionFlags, const AudioTimeStamp*,
               AUAudioFrameCount, long>
      renderObservers;

private:
  void takeScheduledMIDI(AUEventSampleTime callStart) noexcept;
  const AURenderEvent* mergeDueMIDI(const AURenderEvent* hostEvents, AUEventSampleTime callStart,
                                    AUEventSampleTime callEnd) noexcept;

  std::atomic<AUAudioFrameCount> maximumFrames_{0};
  AUInternalRenderBlock block_;
  std::atomic<std::uint64_t> dropped_{0};
  MIDIEventQueue queue_;
  PendingMIDIEvents pending_;
  RenderEventList merged_;
};
