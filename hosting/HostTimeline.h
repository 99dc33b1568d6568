// The host's answers to a unit's musical-context and transport questions, for a transport that
// moves at a steady tempo and meter from a start time: what the tools and the app's demo both
// play their generator with.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <cstdint>

namespace hosting {

struct Meter {
  int numerator = 4;
  int denominator = 4;
  double quartersPerBar() const noexcept { return numerator * 4.0 / denominator; }
};

// The musical-context answers, samplesSinceStart after the transport started at quarter
// startQuarter: the beat is startQuarter plus that over samples per beat; the samples to the
// next beat are truncated, and a whole beat (not 0) exactly on a beat; the downbeat is the beat
// rounded down to a bar.
struct MusicalPosition {
  double tempo = 120.0;
  Meter meter;
  double beat = 0.0;
  long samplesToNextBeat = 0;
  double downbeat = 0.0;
};

MusicalPosition musicalPositionAt(double sampleRate, double tempo, Meter meter,
                                  double samplesSinceStart, double startQuarter = 0.0) noexcept;

// Writes each answer whose pointer is not null, as the host blocks' callers expect. Both
// return true: these hosts always know.
bool answerMusicalContext(const MusicalPosition& position, double* tempo, double* numerator,
                          long* denominator, double* beat, long* samplesToNextBeat,
                          double* downbeat) noexcept;
bool answerTransportState(bool moving, double samplePosition, AUHostTransportStateFlags* flags,
                          double* samplePositionOut, double* cycleStart, double* cycleEnd) noexcept;

// The command-line host's timeline: moving from the first render call on, which falls at
// quarter startQuarter, as in a DAW whose transport starts anywhere in a song. Threads:
// setCurrentSampleTime and the answers all belong to the render thread once rendering starts.
class HostTimeline {
public:
  HostTimeline(double sampleRate, double tempo, Meter meter, std::int64_t firstSampleTime,
               double startQuarter = 0.0) noexcept;

  double tempo() const noexcept { return tempo_; }
  Meter meter() const noexcept { return meter_; }
  double samplesPerBeat() const noexcept { return sampleRate_ * 60.0 / tempo_; }
  std::int64_t firstSampleTime() const noexcept { return first_; }
  double startQuarter() const noexcept { return startQuarter_; }

  // The sample time of the render call about to run, which the answers describe.
  void setCurrentSampleTime(std::int64_t sampleTime) noexcept { current_ = sampleTime; }

  bool musicalContext(double* tempo, double* numerator, long* denominator, double* beat,
                      long* samplesToNextBeat, double* downbeat) const noexcept;
  // Moving, at the sample position of the song (the start quarter's plus the frames since the
  // first call), not cycling.
  bool transportState(AUHostTransportStateFlags* flags, double* samplePosition, double* cycleStart,
                      double* cycleEnd) const noexcept;

private:
  double sampleRate_;
  double tempo_;
  Meter meter_;
  std::int64_t first_;
  double startQuarter_;
  std::int64_t current_;
};

} // namespace hosting
