// The host's side of a generator run: a fixed tempo and meter, and a transport that moves from
// the first render call on. Answers the unit's musical-context and transport questions.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <cstdint>

struct Meter {
  int numerator = 4;
  int denominator = 4;
  double quartersPerBar() const noexcept { return numerator * 4.0 / denominator; }
};

// Threads: setCurrentSampleTime and the answers all belong to the render thread once rendering
// starts.
class HostTimeline {
public:
  HostTimeline(double sampleRate, double tempo, Meter meter, std::int64_t firstSampleTime) noexcept;

  double tempo() const noexcept { return tempo_; }
  Meter meter() const noexcept { return meter_; }
  double samplesPerBeat() const noexcept { return samplesPerBeat_; }
  std::int64_t firstSampleTime() const noexcept { return first_; }

  // The sample time of the render call about to run, which the answers below describe.
  void setCurrentSampleTime(std::int64_t sampleTime) noexcept { current_ = sampleTime; }

  // The beat is the frames since the first call over samples per beat; the samples to the next
  // beat are truncated; the downbeat is the beat rounded down to a bar. Always true.
  bool musicalContext(double* tempo, double* numerator, long* denominator, double* beat,
                      long* samplesToNextBeat, double* downbeat) const noexcept;
  // Moving, at the frames since the first call, not cycling. Always true.
  bool transportState(AUHostTransportStateFlags* flags, double* samplePosition, double* cycleStart,
                      double* cycleEnd) const noexcept;

private:
  double tempo_;
  Meter meter_;
  double samplesPerBeat_;
  std::int64_t first_;
  std::int64_t current_;
};
