// Following the host from buffer to buffer: its tempo, meter, position and transport, where a
// buffer starts in quarter notes, and what the transport's start and stop edges mean.
#pragma once

#include "PallixAU/engine/BarGeometry.h"
#include "PallixAU/engine/HostPosition.h"

#include <cstdint>
#include <optional>

namespace pallix::engine {

// A plain value of the render thread (and of the control thread while nothing renders). Until
// a host answers: 120 quarters a minute in 4/4, stopped, at quarter 0. Per buffer the sequencer
// calls read, bufferStartTime, the edges, then (while playing) locateBuffer and warmingUp once
// per frame, and finishBuffer last.
class TransportFollower {
public:
  // Frames left silent after the transport starts, while hosts settle their position.
  static constexpr int kWarmupFrames = 1024;

  // The bar a host position falls in, counted from quarter 0.
  struct Bar {
    long long number = 0;
    double startQuarter = 0.0;
  };

  // Where a buffer starts.
  struct BufferStart {
    double position = 0.0; // in quarters
    // The host went back more than half a quarter: whatever sounds or waits belongs elsewhere.
    bool wentBack = false;
    // The host's bar, when the buffer does not continue the previous one. A buffer that does
    // crosses its bar lines frame by frame, where fills may start.
    std::optional<Bar> jumpedInto;
  };

  // The host's musical context and transport state for the coming buffer. Answers no meter or
  // tempo can have are ignored (the last good ones stay); without a usable position the
  // sequencer runs on its own clock; a host that does not tell its transport leaves it as it
  // was.
  void read(const HostPosition& position) noexcept;
  // The buffer's first sample time; a non-finite one continues from the previous buffer.
  std::int64_t bufferStartTime(double sampleTime, std::uint32_t frameCount) noexcept;

  bool playing() const noexcept { return hostPlaying_; }
  bool starting() const noexcept { return !wasPlaying_ && hostPlaying_; }
  bool stopping() const noexcept { return wasPlaying_ && !hostPlaying_; }
  // For hosts that report no transport, which the sequencer then plays without; else false.
  void setPlaying(bool playing) noexcept { hostPlaying_ = wasPlaying_ = playing; }

  // Back to quarter 0, without warm-up: part of the sequencer's reset.
  void rewind() noexcept {
    hostQuarterPos_ = 0.0;
    playEdgeWarmup_ = 0;
  }
  // The start edge, after rewind: the warm-up begins, and a host whose distance to the next
  // beat disagrees by about half a quarter with its beat position is taken to report every
  // position half a beat early; any other host with a usable position is taken at its word.
  // Without a usable position the offset found before stays.
  void start(double sampleRate) noexcept;
  // Whether the frame falls in the warm-up; counts it.
  bool warmingUp() noexcept {
    if (playEdgeWarmup_ == 0)
      return false;
    --playEdgeWarmup_;
    return true;
  }

  BufferStart locateBuffer() noexcept;
  // After the buffer's frames, start being what locateBuffer gave.
  void finishBuffer(double start, std::uint32_t frameCount, double samplesPerQuarter) noexcept;

  const BarGeometry& geometry() const noexcept { return geometry_; }
  double samplesPerQuarter(double sampleRate) const noexcept {
    return sampleRate * 60.0 / hostTempo_;
  }

private:
  double hostTempo_ = 120.0;
  double hostBeatsPerBar_ = 4.0;
  double hostBeatUnit_ = 4.0;
  BarGeometry geometry_ = BarGeometry::of(4.0, 4);
  // The host's last usable answer, and whether this buffer's answer was usable.
  double rawBeatPos_ = 0.0;
  std::int64_t rawSampleOffsetToNextBeat_ = 0;
  bool positionValid_ = false;
  bool hostPlaying_ = false;
  bool wasPlaying_ = false;
  int playEdgeWarmup_ = 0;
  double detectedBeatOffset_ = 0.0; // subtracted from the host's positions
  double hostQuarterPos_ = 0.0;
  std::int64_t nextSampleTime_ = 0;
};

} // namespace pallix::engine
