// Where pulses fall in a bar of the host's meter: pulse length, pulses per bar, the half.
#pragma once

namespace pallix::engine {

// A note or bar line due at a position in quarters counts as reached this much before it, so
// that rounding in sums of pulse lengths never delays it by a frame.
inline constexpr double kPositionTolerance = 1e-9;

// A plain value computed from the meter whenever it changes. Any thread.
struct BarGeometry {
  double quartersPerBar = 4.0;
  double pulseLength = 1.0; // quarters: 1.5 (a dotted quarter) in compound meters
  int pulsesPerBar = 4;
  int firstHalfPulses = 2; // pulses below this index belong to the bar's first half
  bool compound = false;   // x/8 with a numerator that is a multiple of 3
  bool wholePulse = true;  // false when the last pulse is shorter than the others

  // beatsPerBar and beatUnit must be positive and finite (the caller keeps the last good
  // values); absurdly long bars are held at kMaxPulses pulses.
  static BarGeometry of(double beatsPerBar, long beatUnit) noexcept;

  static constexpr int kMaxPulses = 1 << 16;
};

} // namespace pallix::engine
