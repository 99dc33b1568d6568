// The accompaniment of one pulse: bass on the chord root, a strummed stab where a chord begins,
// and one or two offbeats after the pulse.
#include "PallixAU/engine/Kernel.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>

namespace pallix::engine {

namespace {

constexpr double kStepScale = 4294967295.0;

double unitRange(float knob) noexcept {
  return foundation::clampFinite(static_cast<double>(knob), 0.0, 1.0);
}

long long samplesOf(double samples) noexcept {
  return foundation::truncateInto(samples, 0LL, 1LL << 53);
}

} // namespace

int Kernel::currentChordRoot() const noexcept {
  const bool firstHalf = pulsesEmittedInBar_ < geometry().firstHalfPulses;
  return chordRootNote(rootNote_.load(std::memory_order_relaxed),
                       firstHalf ? currentBarFirst_.rootOffset : currentBarSecond_.rootOffset);
}

int Kernel::offbeatNote(std::uint32_t draw, int toneCount) const noexcept {
  const ChordType type = pulsesEmittedInBar_ < geometry().firstHalfPulses ? currentBarFirst_.type
                                                                          : currentBarSecond_.type;
  const int tone = static_cast<int>(draw % static_cast<std::uint32_t>(toneCount));
  return std::min(chordToneNote(tone, currentChordRoot(), type), 115) + 12;
}

void Kernel::playPulse(std::int64_t t) noexcept {
  const std::int64_t p = pulsesEmittedInBar_;
  const double pulseLength = geometry().pulseLength;
  const int firstHalf = geometry().firstHalfPulses;
  const double quarters = geometry().quartersPerBar;
  const double s = samplesPerQuarter_;
  const double pq = barStartQuarter_ + pulseLength * static_cast<double>(p);
  const bool inFirstHalf = p < firstHalf;
  const ChordType type = inFirstHalf ? currentBarFirst_.type : currentBarSecond_.type;
  const int root = currentChordRoot();
  const bool halvesDiffer = currentBarFirst_.rootOffset != currentBarSecond_.rootOffset;
  const bool chordPulse = p == 0 || (p == firstHalf && halvesDiffer);

  const bool bassSuspended = phrase_.silences(SuspensionFlags::bass);
  const bool stabSuspended = phrase_.silences(SuspensionFlags::chordFirst);
  const bool offbeatsSuspended = phrase_.silences(SuspensionFlags::offbeats);

  const double feeling = unitRange(emotion_.load(std::memory_order_relaxed));
  const auto bassDropThreshold = static_cast<std::uint32_t>(16.0 * (1.0 - feeling) + 0.5);
  const double offbeatDropChance = 0.5 * (1.0 - feeling);
  const int toneCount = chordToneCount(type);

  if (chordPulse) {
    const double duration = p == 0 ? (halvesDiffer ? pulseLength * firstHalf : quarters)
                                   : quarters - pulseLength * firstHalf;
    const double shortest = 0.5 * duration;
    const double longest = std::max(shortest, duration - 0.25);
    if (!bassSuspended && rngState_.step() % 100u >= bassDropThreshold) {
      const std::uint32_t r = rngState_.step();
      startNote(t, root, static_cast<int>(120 + r % 8u), 0, shortGate_);
    }
    for (int tone = 1; tone < toneCount; ++tone) {
      if (stabSuspended)
        continue;
      const std::uint32_t r1 = rngState_.step();
      const std::uint32_t r2 = rngState_.step();
      const std::uint32_t r3 = rngState_.step();
      const auto velocity = static_cast<int>(50 + r1 % 41u);
      const long long strumSpread = std::max<long long>(1, samplesOf(s * 0.0625));
      const long long strum = samplesOf((r2 / kStepScale) * static_cast<double>(strumSpread));
      const long long gate = std::max<long long>(
          strum + shortGate_, samplesOf(s * (shortest + (r3 / kStepScale) * (longest - shortest))));
      const int note = chordToneNote(tone, root, type);
      if (strum == 0)
        startNote(t, note, velocity, 0, gate);
      else
        strum_.add({strum, gate - strum, static_cast<std::uint8_t>(note),
                    static_cast<std::uint8_t>(velocity)});
    }
  } else if (!bassSuspended && rngState_.step() % 100u >= bassDropThreshold) {
    const std::uint32_t r = rngState_.step();
    startNote(t, root, static_cast<int>(100 + r % 28u), 0, shortGate_);
  }

  const bool shortLastPulse =
      p + 1 == geometry().pulsesPerBar && barStartQuarter_ + quarters - pq < pulseLength - 1e-9;
  if (!shortLastPulse && !offbeatsSuspended)
    scheduleOffbeats(pq, toneCount, offbeatDropChance);
}

void Kernel::scheduleOffbeats(double pq, int toneCount, double dropChance) noexcept {
  const float swing = easiness_.load(std::memory_order_relaxed);
  // Each offbeat draws its note, then its velocity.
  const auto schedule = [&](PendingOffbeats::Slot slot, double target) {
    const int note = offbeatNote(rngState_.step(), toneCount);
    const auto velocity = static_cast<std::uint8_t>(80 + rngState_.step() % 16u);
    offbeats_.schedule(slot, target, static_cast<std::uint8_t>(note), velocity);
  };
  if (geometry().compound) {
    // Easiness drops the middle note of the triplet; peeking leaves the draw to the note.
    XorShiftRandom peek = rngState_;
    if (!(peek.step() / kStepScale < swing))
      schedule(PendingOffbeats::first, pq + 0.5);
    if (!rngState_.below(dropChance))
      schedule(PendingOffbeats::lastTriplet, pq + 1.0);
    return;
  }
  if (!rngState_.below(dropChance))
    schedule(PendingOffbeats::first, pq + 0.5 + static_cast<double>(swing) / 3.0);
}

} // namespace pallix::engine
