// A play-head position is already in quarter notes; only its gaps need filling.
#include "plugins/adapter/PlayHeadPosition.h"

#include <cmath>

namespace plugins {

void follow(hosting::TransportFollower& follower,
            const juce::Optional<juce::AudioPlayHead::PositionInfo>& position) noexcept {
  using hosting::TransportFollower;
  const auto samples = position ? position->getTimeInSamples() : juce::Optional<std::int64_t>{};
  if (!position || (!position->getPpqPosition() && !samples))
    return;
  hosting::TransportMoment moment = follower.now();
  if (const auto signature = position->getTimeSignature();
      signature && signature->numerator > 0 && signature->denominator > 0) {
    moment.numerator = signature->numerator;
    moment.denominator = signature->denominator;
  }
  if (const auto bpm = position->getBpm(); bpm && std::isfinite(*bpm) &&
                                           *bpm >= TransportFollower::kMinTempo &&
                                           *bpm <= TransportFollower::kMaxTempo)
    moment.tempo = *bpm;
  // Without a beat position, the position follows from the frame at the current tempo.
  const auto ppq = position->getPpqPosition();
  moment.quarters = ppq ? *ppq : double(*samples) / follower.samplesPerQuarter(moment.tempo);
  if (!std::isfinite(moment.quarters))
    return;
  const auto barStart = position->getPpqPositionOfLastBarStart();
  moment.barStart = barStart && std::isfinite(*barStart) ? *barStart : 0.0;
  moment.playing = position->getIsPlaying();
  moment.samplePosition = samples ? double(*samples) : 0.0;
  follower.moveTo(moment, true);
}

} // namespace plugins
