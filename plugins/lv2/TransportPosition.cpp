// A time:Position in beat units, turned into quarter notes as units count them.
#include "plugins/lv2/TransportPosition.h"

#include <algorithm>
#include <cmath>

namespace plugins::lv2 {

namespace {

using hosting::TransportFollower;

bool finite(const std::optional<double>& value) { return value && std::isfinite(*value); }

} // namespace

void follow(TransportFollower& follower, const TransportPosition& position) noexcept {
  hosting::TransportMoment moment = follower.now();
  const double oldToQuarters = 4.0 / double(moment.denominator);
  if (position.beatUnit && *position.beatUnit > 0 && *position.beatUnit <= 256)
    moment.denominator = *position.beatUnit;
  if (finite(position.beatsPerBar) && *position.beatsPerBar > 0 && *position.beatsPerBar <= 256)
    moment.numerator = *position.beatsPerBar;
  const double toQuarters = 4.0 / double(moment.denominator);
  if (finite(position.beatsPerMinute)) {
    const double tempo = *position.beatsPerMinute * toQuarters;
    if (tempo >= TransportFollower::kMinTempo && tempo <= TransportFollower::kMaxTempo)
      moment.tempo = tempo;
  } else if (toQuarters != oldToQuarters) {
    moment.tempo = std::clamp(moment.tempo * toQuarters / oldToQuarters,
                              TransportFollower::kMinTempo, TransportFollower::kMaxTempo);
  }
  if (finite(position.speed))
    moment.playing = *position.speed != 0.0;
  if (position.frame)
    moment.samplePosition = double(*position.frame);

  // The beat since the start when given; otherwise the bar and the beat within it; otherwise,
  // for a host that gives only a frame, the frame at the current tempo.
  const bool hasBarBeat = finite(position.barBeat);
  const double barBeat = hasBarBeat ? *position.barBeat : 0.0;
  const bool hasBeat = finite(position.beat) || position.bar.has_value();
  if (hasBeat) {
    const double barBeats = position.bar ? double(*position.bar) * moment.numerator : 0.0;
    const double beat = finite(position.beat) ? *position.beat : barBeats + barBeat;
    moment.quarters = beat * toQuarters;
    moment.barStart = (hasBarBeat ? beat - barBeat : barBeats) * toQuarters;
  } else if (position.frame && !follower.known()) {
    moment.quarters = moment.samplePosition / follower.samplesPerQuarter(moment.tempo);
    moment.barStart = 0.0;
  }
  follower.moveTo(moment, follower.known() || hasBeat || position.frame.has_value());
}

} // namespace plugins::lv2
