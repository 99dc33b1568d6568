// Where a plug-in host's transport has got to, as a unit's musical-context and transport-state
// host blocks ask: the last position the host gave, moved on at its tempo while it rolls.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <cstdint>

namespace hosting {

// A transport at one moment, in quarter notes as unit hosts count.
struct TransportMoment {
  bool playing = false;
  double tempo = 120.0; // quarter notes per minute
  double numerator = 4.0;
  long denominator = 4;
  double quarters = 0.0;
  double barStart = 0.0; // a bar line, in quarters
  double samplePosition = 0.0;
};

// Some hosts give a position in every block, others only when the transport changes; each
// plug-in format turns its own kind of position into a moment here.
// Threads: prepare on a control thread while nothing renders; the rest on the render thread.
// Nothing here allocates or locks.
class TransportFollower {
public:
  static constexpr double kMinTempo = 1.0;
  static constexpr double kMaxTempo = 1000.0;

  void prepare(double sampleRate) noexcept;
  // Until the host gives a position again, the answers are false.
  void forget() noexcept { known_ = false; }
  bool known() const noexcept { return known_; }
  double samplesPerQuarter(double tempo) const noexcept { return sampleRate_ * 60.0 / tempo; }

  // The last moment moved on by the frames rendered since.
  TransportMoment now() const noexcept;
  // The moment that holds from the next frame to be rendered.
  void moveTo(const TransportMoment& moment, bool known) noexcept;
  // After frames more have been rendered.
  void advance(std::int64_t frames) noexcept { framesSince_ += frames; }

  // The answers for the frames about to be rendered; false while no position is known.
  bool musicalContext(double* tempo, double* numerator, long* denominator, double* beat,
                      long* samplesToNextBeat, double* downbeat) const noexcept;
  bool transportState(AUHostTransportStateFlags* flags, double* samplePosition, double* cycleStart,
                      double* cycleEnd) const noexcept;

private:
  double sampleRate_ = 44100.0;
  bool known_ = false;
  TransportMoment last_;
  std::int64_t framesSince_ = 0;
};

} // namespace hosting
