// Positions between the host's: the last one, moved on at its tempo while the transport rolls.
#include "plugins/lv2/TransportFollower.h"

#include <algorithm>
#include <cmath>

namespace plugins::lv2 {

namespace {

constexpr double kMinTempo = 1.0;
constexpr double kMaxTempo = 1000.0;

bool finite(const std::optional<double>& value) { return value && std::isfinite(*value); }

} // namespace

void TransportFollower::prepare(double sampleRate) noexcept {
  sampleRate_ = sampleRate > 0.0 && std::isfinite(sampleRate) ? sampleRate : 44100.0;
  known_ = false;
  framesSince_ = 0;
}

void TransportFollower::take(const TransportPosition& position) noexcept {
  // What the position leaves out carries on from where the last one has got to.
  quarters_ = quartersNow();
  samplePosition_ = samplePositionNow();
  framesSince_ = 0;
  const double oldToQuarters = 4.0 / double(denominator_);
  if (position.beatUnit && *position.beatUnit > 0 && *position.beatUnit <= 256)
    denominator_ = *position.beatUnit;
  if (finite(position.beatsPerBar) && *position.beatsPerBar > 0 && *position.beatsPerBar <= 256)
    numerator_ = *position.beatsPerBar;
  const double toQuarters = 4.0 / double(denominator_);
  if (finite(position.beatsPerMinute)) {
    const double tempo = *position.beatsPerMinute * toQuarters;
    if (tempo >= kMinTempo && tempo <= kMaxTempo)
      tempo_ = tempo;
  } else if (toQuarters != oldToQuarters) {
    tempo_ = std::clamp(tempo_ * toQuarters / oldToQuarters, kMinTempo, kMaxTempo);
  }
  if (finite(position.speed))
    playing_ = *position.speed != 0.0;
  if (position.frame)
    samplePosition_ = double(*position.frame);

  // The beat since the start when given; otherwise the bar and the beat within it; otherwise,
  // for a host that gives only a frame, the frame at the current tempo.
  const bool hasBarBeat = finite(position.barBeat);
  const double barBeat = hasBarBeat ? *position.barBeat : 0.0;
  const bool hasBeat = finite(position.beat) || position.bar.has_value();
  if (hasBeat) {
    const double barBeats = position.bar ? double(*position.bar) * numerator_ : 0.0;
    const double beat = finite(position.beat) ? *position.beat : barBeats + barBeat;
    quarters_ = beat * toQuarters;
    barStart_ = (hasBarBeat ? beat - barBeat : barBeats) * toQuarters;
  } else if (position.frame && !known_) {
    quarters_ = samplePosition_ / samplesPerQuarter();
    barStart_ = 0.0;
  }
  known_ = known_ || hasBeat || position.frame.has_value();
}

double TransportFollower::quartersNow() const noexcept {
  if (!playing_)
    return quarters_;
  return quarters_ + double(framesSince_) / samplesPerQuarter();
}

double TransportFollower::samplePositionNow() const noexcept {
  return samplePosition_ + (playing_ ? double(framesSince_) : 0.0);
}

bool TransportFollower::musicalContext(double* tempo, double* numerator, long* denominator,
                                       double* beat, long* samplesToNextBeat,
                                       double* downbeat) const noexcept {
  if (!known_)
    return false;
  const double now = quartersNow();
  if (tempo)
    *tempo = tempo_;
  if (numerator)
    *numerator = numerator_;
  if (denominator)
    *denominator = denominator_;
  if (beat)
    *beat = now;
  if (samplesToNextBeat) {
    // Exactly on a beat the beat is now: 0, as unit hosts answer.
    const double fraction = now - std::floor(now);
    *samplesToNextBeat =
        fraction == 0.0 ? 0 : long(samplesPerQuarter() - samplesPerQuarter() * fraction);
  }
  if (downbeat) {
    const double bar = quartersPerBar();
    *downbeat = barStart_ + bar * std::floor((now - barStart_) / bar);
  }
  return true;
}

bool TransportFollower::transportState(AUHostTransportStateFlags* flags, double* samplePosition,
                                       double* cycleStart, double* cycleEnd) const noexcept {
  if (!known_)
    return false;
  if (flags)
    *flags = playing_ ? AUHostTransportStateMoving : 0;
  if (samplePosition)
    *samplePosition = samplePositionNow();
  if (cycleStart)
    *cycleStart = 0.0;
  if (cycleEnd)
    *cycleEnd = 0.0;
  return true;
}

} // namespace plugins::lv2
