// Musical positions and the host blocks' answers.
#include "hosting/HostTimeline.h"

#include <cmath>

namespace hosting {

MusicalPosition musicalPositionAt(double sampleRate, double tempo, Meter meter,
                                  double samplesSinceStart, double startQuarter) noexcept {
  const double samplesPerBeat = sampleRate * 60.0 / tempo;
  const double beat = startQuarter + samplesSinceStart / samplesPerBeat;
  const double bar = meter.quartersPerBar();
  return {tempo, meter, beat,
          static_cast<long>(samplesPerBeat - samplesPerBeat * (beat - std::floor(beat))),
          bar * std::floor(beat / bar)};
}

bool answerMusicalContext(const MusicalPosition& position, double* tempo, double* numerator,
                          long* denominator, double* beat, long* samplesToNextBeat,
                          double* downbeat) noexcept {
  if (tempo)
    *tempo = position.tempo;
  if (numerator)
    *numerator = position.meter.numerator;
  if (denominator)
    *denominator = position.meter.denominator;
  if (beat)
    *beat = position.beat;
  if (samplesToNextBeat)
    *samplesToNextBeat = position.samplesToNextBeat;
  if (downbeat)
    *downbeat = position.downbeat;
  return true;
}

bool answerTransportState(bool moving, double samplePosition, AUHostTransportStateFlags* flags,
                          double* samplePositionOut, double* cycleStart,
                          double* cycleEnd) noexcept {
  if (flags)
    *flags = moving ? AUHostTransportStateMoving : 0;
  if (samplePositionOut)
    *samplePositionOut = samplePosition;
  if (cycleStart)
    *cycleStart = 0.0;
  if (cycleEnd)
    *cycleEnd = 0.0;
  return true;
}

HostTimeline::HostTimeline(double sampleRate, double tempo, Meter meter,
                           std::int64_t firstSampleTime, double startQuarter) noexcept
    : sampleRate_(sampleRate), tempo_(tempo), meter_(meter), first_(firstSampleTime),
      startQuarter_(startQuarter), current_(firstSampleTime) {}

bool HostTimeline::musicalContext(double* tempo, double* numerator, long* denominator, double* beat,
                                  long* samplesToNextBeat, double* downbeat) const noexcept {
  const auto position = musicalPositionAt(sampleRate_, tempo_, meter_,
                                          static_cast<double>(current_ - first_), startQuarter_);
  return answerMusicalContext(position, tempo, numerator, denominator, beat, samplesToNextBeat,
                              downbeat);
}

bool HostTimeline::transportState(AUHostTransportStateFlags* flags, double* samplePosition,
                                  double* cycleStart, double* cycleEnd) const noexcept {
  return answerTransportState(
      true, startQuarter_ * samplesPerBeat() + static_cast<double>(current_ - first_), flags,
      samplePosition, cycleStart, cycleEnd);
}

} // namespace hosting
