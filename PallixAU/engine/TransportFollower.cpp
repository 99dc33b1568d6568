// What the host answers, made into positions the sequencer can trust.
#include "PallixAU/engine/TransportFollower.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>

namespace pallix::engine {

namespace {

// Beyond these a host's meter is not a meter, and its values could not be converted back to
// whole numbers safely. Such values are ignored like non-finite ones.
constexpr double kMaxBeatUnit = 64.0;
constexpr double kMaxBeatsPerBar = 256.0;
constexpr double kMaxTempo = 100000.0;
// Far beyond any session (a year at 1000 bpm), yet where positions still resolve a sample.
constexpr double kMaxPosition = 1e9;

bool positiveFinite(double x) noexcept { return std::isfinite(x) && x > 0.0; }

} // namespace

void TransportFollower::read(const HostPosition& position) noexcept {
  positionValid_ = false;
  if (position.hasMusicalContext) {
    if (positiveFinite(position.tempo) && position.tempo <= kMaxTempo)
      hostTempo_ = position.tempo;
    // 0 or less keeps that half of the meter; an unreasonable half refuses the whole meter,
    // before anything converts it. Fractional numerators (5.5/8) are meters too.
    const double beatUnit =
        position.beatUnit > 0 ? static_cast<double>(position.beatUnit) : hostBeatUnit_;
    const double beatsPerBar =
        positiveFinite(position.beatsPerBar) ? position.beatsPerBar : hostBeatsPerBar_;
    if (beatUnit <= kMaxBeatUnit && beatsPerBar >= 1.0 && beatsPerBar <= kMaxBeatsPerBar) {
      hostBeatsPerBar_ = beatsPerBar;
      hostBeatUnit_ = beatUnit;
    }
    if (std::abs(position.beatPosition) <= kMaxPosition &&
        std::abs(position.downbeatPosition) <= kMaxPosition) {
      rawBeatPos_ = position.beatPosition;
      rawSampleOffsetToNextBeat_ = position.samplesToNextBeat;
      positionValid_ = true;
    }
  }
  geometry_ = BarGeometry::of(hostBeatsPerBar_, static_cast<long>(hostBeatUnit_));
  if (position.hasTransportState)
    hostPlaying_ = position.moving;
}

std::int64_t TransportFollower::bufferStartTime(double sampleTime,
                                                std::uint32_t frameCount) noexcept {
  const std::int64_t t0 = std::isfinite(sampleTime)
                              ? foundation::truncateInto(sampleTime, -(1LL << 62), 1LL << 62)
                              : nextSampleTime_;
  nextSampleTime_ = t0 + frameCount;
  return t0;
}

void TransportFollower::start(double sampleRate) noexcept {
  playEdgeWarmup_ = kWarmupFrames;
  const double perQuarter = samplesPerQuarter(sampleRate);
  if (!positionValid_ || !(geometry_.quartersPerBar > 0.0) || !positiveFinite(perQuarter))
    return;
  // Where the host's beat position puts the next beat, against where its beat clock does. A
  // host answering 0 or a whole beat exactly on a beat agrees with itself; one whose position
  // and clock are about half a quarter apart reports every position half a beat early.
  const double expected = (1.0 - (rawBeatPos_ - std::floor(rawBeatPos_))) * perQuarter;
  double delta = static_cast<double>(rawSampleOffsetToNextBeat_) - expected;
  delta -= perQuarter * std::floor(delta / perQuarter + 0.5);
  detectedBeatOffset_ = std::abs(delta) > perQuarter / 4.0 ? 0.5 : 0.0;
}

TransportFollower::BufferStart TransportFollower::locateBuffer() noexcept {
  const double quarters = geometry_.quartersPerBar;
  if (!positionValid_ || !(quarters > 0.0))
    return {hostQuarterPos_, false, std::nullopt};
  const double pos = rawBeatPos_ - detectedBeatOffset_;
  const bool wentBack = pos < hostQuarterPos_ - 0.5;
  const bool continues = std::abs(pos - hostQuarterPos_) <= 1e-6;
  hostQuarterPos_ = pos;
  if (continues)
    return {pos, wentBack, std::nullopt};
  const long long n = std::max<long long>(
      0, foundation::truncateInto(std::floor(pos / quarters + kPositionTolerance), 0LL, 1LL << 53));
  return {pos, wentBack, Bar{n, quarters * static_cast<double>(n)}};
}

void TransportFollower::finishBuffer(double start, std::uint32_t frameCount,
                                     double samplesPerQuarter) noexcept {
  if (hostPlaying_)
    hostQuarterPos_ = start + static_cast<double>(frameCount) / samplesPerQuarter;
  wasPlaying_ = hostPlaying_;
}

} // namespace pallix::engine
