// What the render fuzz targets do to a unit as a careless host would: render calls with
// arbitrary event lists, time stamps and buffers, scheduled MIDI, parameter changes through the
// tree, resets and reallocations, all read from the fuzzer's bytes.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "tests/fuzz/FuzzInput.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace fuzz {

// Sets the rate (a refused one leaves the unit's) and the maximum, then allocates.
Verdict allocate(AUAudioUnit& unit, double sampleRate, AUAudioFrameCount maximumFrames);
inline constexpr double kAnyRate = 1.0e6;
// The same with a rate read from the bytes (mostly a usual one), held to mostRate, and a maximum
// of 1 ... 4096.
Verdict allocate(AUAudioUnit& unit, FuzzInput& in, double mostRate = kAnyRate);

// One render call's events, linked in the order read (not always time order): parameter
// changes and ramps at any address with any value, MIDI of any bytes and length field, system
// exclusive and event lists, at times before, inside and past the call or anywhere at all.
class EventScript {
public:
  static constexpr std::size_t kCapacity = 24;
  const AURenderEvent* read(FuzzInput& in, std::int64_t callStart, AUAudioFrameCount frames);

private:
  std::array<AURenderEvent, kCapacity> events_{};
  std::array<std::array<std::uint32_t, 4>, kCapacity> words_{};
  std::array<std::array<std::uint8_t, 8>, kCapacity> sysEx_{};
};

// Renders into two channels of its own, called as hosts call: usually at the next sample
// time, sometimes jumping or with no usable time; usually into full stereo buffers, sometimes
// into one buffer, buffers without memory (the unit lends its own) or buffers too short.
class HostRenderer {
public:
  explicit HostRenderer(AUAudioUnit& unit);

  // After a reallocation, which may change the maximum.
  void refresh(AUAudioUnit& unit);

  // A call of frames (1 ... maximum, sometimes more) with the script's events; the status must
  // be what the render contract promises and the audio finite and within ±1. The call's
  // sample time is left in callStart(), or -1 when the time stamp gives none.
  Verdict call(FuzzInput& in, EventScript& script);
  // A plain call of frames at the next sample time, for the checks that end a run.
  Verdict call(AUAudioFrameCount frames, const AURenderEvent* events);
  // The next call is at this sample time, as after a host's locate.
  void locate(double sampleTime) noexcept { nextTime_ = sampleTime; }

  std::int64_t callStart() const noexcept { return callStart_; }
  AUAudioFrameCount maximumFrames() const noexcept { return maximum_; }
  const std::vector<float>& left() const noexcept { return left_; }
  // Called before each render call with its start and frames, so a host's blocks can answer.
  std::function<void(std::int64_t start, AUAudioFrameCount frames)> beforeCall;

private:
  Verdict render(const AudioTimeStamp& stamp, AUAudioFrameCount frames, const AURenderEvent* events,
                 int layout);

  AURenderBlock block_;
  AURenderPullInputBlock noInput_;
  AUAudioFrameCount maximum_ = 0;
  bool allocated_ = false;
  std::vector<float> left_, right_;
  double nextTime_ = 0.0;
  std::int64_t callStart_ = 0;
};

enum class Operation : std::uint8_t { call, scheduleMIDI, setParameter, reset, reallocate };

// A careless host's session with an allocated unit: operations read from the bytes until they
// run out or the limit, each chosen by a byte modulo 8. Render calls go through the renderer;
// scheduled MIDI may have any time, cable, length and bytes; a parameter of the tree is set to
// any value; a reallocation may read a new rate and maximum.
struct HostSession {
  HostSession(std::array<Operation, 8> operations, int limit)
      : operations(operations), limit(limit) {}

  std::array<Operation, 8> operations;
  int limit;
  std::function<void()> beforeAllocating; // may read bytes of its own first
  std::function<void()> reallocated;
  std::function<Verdict()> check; // after every operation
  double mostRate = kAnyRate;     // for reallocations, as allocate()
  bool scheduled = false;         // whether any message was scheduled

  Verdict run(AUAudioUnit& unit, HostRenderer& host, FuzzInput& in);
};

} // namespace fuzz
