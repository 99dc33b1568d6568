// The host's side of a generator run: tempo, meter and a moving transport.
#include "tools/pallix-render/HostTimeline.h"

#include <cmath>

HostTimeline::HostTimeline(double sampleRate, double tempo, Meter meter,
                           std::int64_t firstSampleTime) noexcept
    : tempo_(tempo), meter_(meter), samplesPerBeat_(sampleRate * 60.0 / tempo),
      first_(firstSampleTime), current_(firstSampleTime) {}

bool HostTimeline::musicalContext(double* tempo, double* numerator, long* denominator, double* beat,
                                  long* samplesToNextBeat, double* downbeat) const noexcept {
  const double position = static_cast<double>(current_ - first_) / samplesPerBeat_;
  const double bar = meter_.quartersPerBar();
  if (tempo)
    *tempo = tempo_;
  if (numerator)
    *numerator = meter_.numerator;
  if (denominator)
    *denominator = meter_.denominator;
  if (beat)
    *beat = position;
  // Exactly on a beat this is a whole beat, not 0, as the app's demo driver answers too.
  if (samplesToNextBeat)
    *samplesToNextBeat =
        static_cast<long>(samplesPerBeat_ - samplesPerBeat_ * (position - std::floor(position)));
  if (downbeat)
    *downbeat = bar * std::floor(position / bar);
  return true;
}

bool HostTimeline::transportState(AUHostTransportStateFlags* flags, double* samplePosition,
                                  double* cycleStart, double* cycleEnd) const noexcept {
  if (flags)
    *flags = AUHostTransportStateMoving;
  if (samplePosition)
    *samplePosition = static_cast<double>(current_ - first_);
  if (cycleStart)
    *cycleStart = 0.0;
  if (cycleEnd)
    *cycleEnd = 0.0;
  return true;
}
