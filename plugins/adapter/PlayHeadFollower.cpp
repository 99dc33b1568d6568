// Positions between the host's: the last one, moved on at its tempo while the transport rolls.
#include "plugins/adapter/PlayHeadFollower.h"

#include <cmath>

namespace plugins {

namespace {

constexpr double kMinTempo = 1.0;
constexpr double kMaxTempo = 1000.0;

} // namespace

void PlayHeadFollower::prepare(double sampleRate) noexcept {
  sampleRate_ = sampleRate > 0.0 ? sampleRate : 44100.0;
  known_ = false;
  framesSince_ = 0;
}

void PlayHeadFollower::beginBlock(
    const juce::Optional<juce::AudioPlayHead::PositionInfo>& position) noexcept {
  const auto samples = position ? position->getTimeInSamples() : juce::Optional<std::int64_t>{};
  if (!position || (!position->getPpqPosition() && !samples))
    return; // the last position, if any, carries on
  if (const auto signature = position->getTimeSignature();
      signature && signature->numerator > 0 && signature->denominator > 0) {
    numerator_ = signature->numerator;
    denominator_ = signature->denominator;
  }
  if (const auto bpm = position->getBpm(); bpm && std::isfinite(*bpm)) {
    const double tempo = *bpm;
    if (tempo >= kMinTempo && tempo <= kMaxTempo)
      tempo_ = tempo;
  }
  // Without a beat position, the position follows from the frame at the current tempo.
  const auto ppq = position->getPpqPosition();
  const double quarters = ppq ? *ppq : static_cast<double>(*samples) / samplesPerQuarter();
  if (!std::isfinite(quarters))
    return;
  quarters_ = quarters;
  const auto barStart = position->getPpqPositionOfLastBarStart();
  barStart_ = barStart && std::isfinite(*barStart) ? *barStart : 0.0;
  playing_ = position->getIsPlaying();
  samplePosition_ = samples ? static_cast<double>(*samples) : 0.0;
  framesSince_ = 0;
  known_ = true;
}

double PlayHeadFollower::quartersNow() const noexcept {
  if (!playing_)
    return quarters_;
  return quarters_ + static_cast<double>(framesSince_) / samplesPerQuarter();
}

bool PlayHeadFollower::musicalContext(double* tempo, double* numerator, long* denominator,
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
        fraction == 0.0 ? 0
                        : static_cast<long>(samplesPerQuarter() - samplesPerQuarter() * fraction);
  }
  if (downbeat) {
    const double bar = quartersPerBar();
    *downbeat = barStart_ + bar * std::floor((now - barStart_) / bar);
  }
  return true;
}

bool PlayHeadFollower::transportState(AUHostTransportStateFlags* flags, double* samplePosition,
                                      double* cycleStart, double* cycleEnd) const noexcept {
  if (!known_)
    return false;
  if (flags)
    *flags = playing_ ? AUHostTransportStateMoving : 0;
  if (samplePosition)
    *samplePosition = samplePosition_ + (playing_ ? static_cast<double>(framesSince_) : 0.0);
  if (cycleStart)
    *cycleStart = 0.0;
  if (cycleEnd)
    *cycleEnd = 0.0;
  return true;
}

} // namespace plugins
