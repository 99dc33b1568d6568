// Moments between the host's positions: the last one, moved on at its tempo while it rolls.
#include "hosting/TransportFollower.h"

#include <cmath>

namespace hosting {

void TransportFollower::prepare(double sampleRate) noexcept {
  sampleRate_ = sampleRate > 0.0 && std::isfinite(sampleRate) ? sampleRate : 44100.0;
  known_ = false;
  framesSince_ = 0;
}

TransportMoment TransportFollower::now() const noexcept {
  TransportMoment moment = last_;
  if (moment.playing) {
    moment.quarters += double(framesSince_) / samplesPerQuarter(moment.tempo);
    moment.samplePosition += double(framesSince_);
  }
  return moment;
}

void TransportFollower::moveTo(const TransportMoment& moment, bool known) noexcept {
  last_ = moment;
  known_ = known;
  framesSince_ = 0;
}

bool TransportFollower::musicalContext(double* tempo, double* numerator, long* denominator,
                                       double* beat, long* samplesToNextBeat,
                                       double* downbeat) const noexcept {
  if (!known_)
    return false;
  const TransportMoment moment = now();
  if (tempo)
    *tempo = moment.tempo;
  if (numerator)
    *numerator = moment.numerator;
  if (denominator)
    *denominator = moment.denominator;
  if (beat)
    *beat = moment.quarters;
  if (samplesToNextBeat) {
    // Exactly on a beat the beat is now: 0, as unit hosts answer.
    const double perQuarter = samplesPerQuarter(moment.tempo);
    const double fraction = moment.quarters - std::floor(moment.quarters);
    *samplesToNextBeat = fraction == 0.0 ? 0 : long(perQuarter - perQuarter * fraction);
  }
  if (downbeat) {
    const double bar = moment.numerator * 4.0 / double(moment.denominator);
    *downbeat = moment.barStart + bar * std::floor((moment.quarters - moment.barStart) / bar);
  }
  return true;
}

bool TransportFollower::transportState(AUHostTransportStateFlags* flags, double* samplePosition,
                                       double* cycleStart, double* cycleEnd) const noexcept {
  if (!known_)
    return false;
  if (flags)
    *flags = last_.playing ? AUHostTransportStateMoving : 0;
  if (samplePosition)
    *samplePosition = now().samplePosition;
  if (cycleStart)
    *cycleStart = 0.0;
  if (cycleEnd)
    *cycleEnd = 0.0;
  return true;
}

} // namespace hosting
