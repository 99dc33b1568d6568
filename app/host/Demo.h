// The blues demo: the generator settings it plays with, its tempo limits, and the transport
// record shared between the host's main thread, the driver and the generator's host callbacks.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <string_view>

namespace app {

struct DemoSetting {
  std::string_view identifier;
  float value;
};

// By parameter identifier.
inline constexpr std::array<DemoSetting, 8> kDemoConfiguration{{
    {"embroidery", 1.0f},
    {"easiness", 0.5f},
    {"etiquette", 0.72f},
    {"exotica", 1.0f},
    {"rootNote", 4.0f}, // E
    {"mode", 1.0f},     // minor
    {"emotion", 1.0f},
    {"evolution", 1.0f},
}};

inline constexpr double kMinDemoTempo = 40.0;
inline constexpr double kMaxDemoTempo = 240.0;
inline constexpr double kDefaultDemoTempo = 120.0;

// What every tempo control goes through: the nearest whole number of beats per minute (halves
// away from zero) within the limits; NaN gives the lower limit.
inline double limitedDemoTempo(double bpm) noexcept {
  if (std::isnan(bpm))
    return kMinDemoTempo;
  return std::clamp(std::round(bpm), kMinDemoTempo, kMaxDemoTempo);
}

// Fields written after construction are relaxed atomics of one machine word: the main thread
// writes tempo, isPlaying and (on Stop) transportStartSample; the render thread writes
// transportStartSample (the latch) and currentSampleTime. The others are fixed at construction.
struct DemoState {
  static constexpr double kNoStart = -1.0;

  explicit DemoState(double sampleRate) noexcept : sampleRate(sampleRate) {}

  const double sampleRate;
  std::atomic<double> tempo{kDefaultDemoTempo}; // beats per minute
  const double beatsPerBar = 4.0;
  const long beatUnit = 4;
  std::atomic<bool> isPlaying{false};
  std::atomic<double> transportStartSample{kNoStart}; // below 0: no start latched
  std::atomic<double> currentSampleTime{0.0};

  static_assert(std::atomic<double>::is_always_lock_free);
};

} // namespace app
