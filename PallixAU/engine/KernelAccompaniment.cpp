// The accompaniment of one pulse: bass on the chord root, a strummed stab where a chord begins,
// and one or two offbeats after the pulse.
#include "PallixAU/engine/Kernel.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kStepScale = 4294967295.0;

double unitRange(float knob) noexcept { return clampFinite(static_cast<double>(knob), 0.0, 1.0); }

long long samplesOf(double samples) noexcept { return truncateInto(samples, 0LL, 1LL << 53); }

} // namespace

int Kernel::currentChordRoot() const noexcept {
  const bool firstHalf = pulsesEmittedInBar < geometry_.firstHalfPulses;
  return chordRootNote(rootNote.load(std::memory_order_relaxed),
                       firstHalf ? currentBarFirstOffset : currentBarSecondOffset);
}

int Kernel::offbeatNote(std::uint32_t draw, int toneCount) const noexcept {
  const ChordType type = pulsesEmittedInBar < geometry_.firstHalfPulses ? currentBarFirstChordType
                                                                        : currentBarSecondChordType;
  const int tone = static_cast<int>(draw % static_cast<std::uint32_t>(toneCount));
  return std::min(chordToneNote(tone, currentChordRoot(), type), 115) + 12;
}

void Kernel::playPulse(std::int64_t t) noexcept {
  const std::int64_t p = pulsesEmittedInBar;
  const double pulseLength = geometry_.pulseLength;
  const int firstHalf = geometry_.firstHalfPulses;
  const double quarters = geometry_.quartersPerBar;
  const double s = samplesPerQuarter_;
  const double pq = barStartQuarter + pulseLength * static_cast<double>(p);
  const bool inFirstHalf = p < firstHalf;
  const ChordType type = inFirstHalf ? currentBarFirstChordType : currentBarSecondChordType;
  const int root = currentChordRoot();
  const bool halvesDiffer = currentBarFirstOffset != currentBarSecondOffset;
  const bool chordPulse = p == 0 || (p == firstHalf && halvesDiffer);

  const bool suspending = phraseActive;
  const bool bassSuspended = suspending && phraseSuspends.contains(SuspensionFlags::bass);
  const bool stabSuspended = suspending && phraseSuspends.contains(SuspensionFlags::chordFirst);
  const bool offbeatsSuspended = suspending && phraseSuspends.contains(SuspensionFlags::offbeats);

  const double feeling = unitRange(emotion.load(std::memory_order_relaxed));
  const auto bassDropThreshold = static_cast<std::uint32_t>(16.0 * (1.0 - feeling) + 0.5);
  const double offbeatDropChance = 0.5 * (1.0 - feeling);
  const int toneCount = chordToneCount(type);

  if (chordPulse) {
    const double duration = p == 0 ? (halvesDiffer ? pulseLength * firstHalf : quarters)
                                   : quarters - pulseLength * firstHalf;
    const double shortest = 0.5 * duration;
    const double longest = std::max(shortest, duration - 0.25);
    if (!bassSuspended && rngState.step() % 100u >= bassDropThreshold) {
      const std::uint32_t r = rngState.step();
      startNote(t, root, static_cast<int>(120 + r % 8u), 0, shortGate_);
    }
    for (int tone = 1; tone < toneCount; ++tone) {
      if (stabSuspended)
        continue;
      const std::uint32_t r1 = rngState.step();
      const std::uint32_t r2 = rngState.step();
      const std::uint32_t r3 = rngState.step();
      const auto velocity = static_cast<int>(50 + r1 % 41u);
      const long long strumSpread = std::max<long long>(1, samplesOf(s * 0.0625));
      const long long strum = samplesOf((r2 / kStepScale) * static_cast<double>(strumSpread));
      const long long gate = std::max<long long>(
          strum + shortGate_, samplesOf(s * (shortest + (r3 / kStepScale) * (longest - shortest))));
      startNote(t + strum, chordToneNote(tone, root, type), velocity, 0, gate);
    }
  } else if (!bassSuspended && rngState.step() % 100u >= bassDropThreshold) {
    const std::uint32_t r = rngState.step();
    startNote(t, root, static_cast<int>(100 + r % 28u), 0, shortGate_);
  }

  const bool shortLastPulse =
      p + 1 == geometry_.pulsesPerBar && barStartQuarter + quarters - pq < pulseLength - 1e-9;
  if (shortLastPulse || offbeatsSuspended)
    return;
  const float swing = easiness.load(std::memory_order_relaxed);
  if (geometry_.compound) {
    XorShiftRandom peek = rngState;
    if (!(peek.step() / kStepScale < swing)) {
      const int note = offbeatNote(rngState.step(), toneCount);
      pendingOffbeatTarget = pq + 0.5;
      pendingOffbeatNote = static_cast<std::uint8_t>(note);
      pendingOffbeatChannel = 0;
      pendingOffbeatVelocity = static_cast<std::uint8_t>(80 + rngState.step() % 16u);
    }
    if (rngState.below(offbeatDropChance))
      return;
    const int note = offbeatNote(rngState.step(), toneCount);
    pendingOffbeatTarget2 = pq + 1.0;
    pendingOffbeatNote2 = static_cast<std::uint8_t>(note);
    pendingOffbeatChannel2 = 0;
    pendingOffbeatVelocity2 = static_cast<std::uint8_t>(80 + rngState.step() % 16u);
    return;
  }
  if (rngState.below(offbeatDropChance))
    return;
  const int note = offbeatNote(rngState.step(), toneCount);
  pendingOffbeatTarget = pq + 0.5 + static_cast<double>(swing) / 3.0;
  pendingOffbeatNote = static_cast<std::uint8_t>(note);
  pendingOffbeatChannel = 0;
  pendingOffbeatVelocity = static_cast<std::uint8_t>(80 + rngState.step() % 16u);
}
