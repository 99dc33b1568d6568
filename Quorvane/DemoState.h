// The transport record the demo shares between the host's main thread, the driver and the
// generator's context callbacks.
#pragma once

#include <atomic>

// Fields written after construction are relaxed atomics of one machine word: the main thread
// writes tempo, isPlaying and (on Stop) transportStartSample; the render thread writes
// transportStartSample (the latch) and currentSampleTime. The others are fixed at construction.
struct DemoState {
  static constexpr double kNoStart = -1.0;

  explicit DemoState(double sampleRate) noexcept : sampleRate(sampleRate) {}

  const double sampleRate;
  std::atomic<double> tempo{120.0}; // beats per minute
  const double beatsPerBar = 4.0;
  const long beatUnit = 4;
  std::atomic<bool> isPlaying{false};
  std::atomic<double> transportStartSample{kNoStart}; // below 0: no start latched
  std::atomic<double> currentSampleTime{0.0};

  static_assert(std::atomic<double>::is_always_lock_free);
};
