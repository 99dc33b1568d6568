// The host's tempo, meter and transport as a unit asks for them, from the time:Position objects
// the host sends and, between them, from the last one.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <cstdint>
#include <optional>

namespace plugins::lv2 {

// What one time:Position object told, field by field; a host may leave any out. Beats count
// the meter's beat unit, as LV2 defines them.
struct TransportPosition {
  std::optional<double> speed; // 0 stopped, 1 rolling
  std::optional<std::int64_t> bar;
  std::optional<double> barBeat;
  std::optional<double> beat; // since the timeline's start
  std::optional<int> beatUnit;
  std::optional<double> beatsPerBar;
  std::optional<double> beatsPerMinute;
  std::optional<std::int64_t> frame;
};

// Hosts send a position when the transport changes (some in every block, many only then), so
// the last one is kept and, while the transport rolls, moved on by the frames rendered since at
// its tempo. A position that leaves fields out changes only those it gives.
// Threads: prepare on a control thread while nothing renders; the rest on the render thread.
// Nothing here allocates or locks.
class TransportFollower {
public:
  void prepare(double sampleRate) noexcept;
  // Until the host gives a position, the answers are false.
  void forget() noexcept { known_ = false; }

  // A position that holds from the next frame to be rendered.
  void take(const TransportPosition& position) noexcept;
  // After frames more have been rendered.
  void advance(std::int64_t frames) noexcept { framesSince_ += frames; }

  // The answers of the unit's musical-context and transport-state host blocks for the frames
  // about to be rendered, in quarter notes as unit hosts count; false while no position is known.
  bool musicalContext(double* tempo, double* numerator, long* denominator, double* beat,
                      long* samplesToNextBeat, double* downbeat) const noexcept;
  bool transportState(AUHostTransportStateFlags* flags, double* samplePosition, double* cycleStart,
                      double* cycleEnd) const noexcept;

private:
  double quartersNow() const noexcept;
  double samplePositionNow() const noexcept;
  double quartersPerBar() const noexcept { return numerator_ * 4.0 / double(denominator_); }
  double samplesPerQuarter() const noexcept { return sampleRate_ * 60.0 / tempo_; }

  double sampleRate_ = 44100.0;
  bool known_ = false;
  bool playing_ = false;
  double tempo_ = 120.0; // quarter notes per minute
  double numerator_ = 4.0;
  long denominator_ = 4;
  double quarters_ = 0.0; // at the last position
  double barStart_ = 0.0; // a bar line, in quarters
  double samplePosition_ = 0.0;
  std::int64_t framesSince_ = 0;
};

} // namespace plugins::lv2
