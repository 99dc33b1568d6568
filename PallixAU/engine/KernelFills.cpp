// Bar starts: the bar's chords, the chorus's family rule, and the fills, turnarounds and bass
// runs that decorate the form, turned into queued phrase notes.
#include "PallixAU/engine/Kernel.h"
#include "PallixAU/engine/catalogue/CatalogIndex.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>

namespace pallix::engine {

namespace {

using Slot = SlotTag;

// Emotion and Exotica as the fill rules use them: within 0 ... 1, NaN as 0.
double unitRange(float knob) noexcept {
  return foundation::clampFinite(static_cast<double>(knob), 0.0, 1.0);
}

std::int64_t gateOf(double samples) noexcept {
  return std::max<long long>(1, foundation::truncateInto(samples, 0LL, 1LL << 53));
}

std::uint8_t noteOf(long long note) noexcept {
  return static_cast<std::uint8_t>(std::clamp<long long>(note, 0, 127));
}

// lo + (draw modulo the width of lo ... hi), the bounds swapped when written the wrong way round.
std::uint8_t velocityBetween(int lo, int hi, XorShiftRandom& random) noexcept {
  if (hi < lo)
    std::swap(lo, hi);
  return static_cast<std::uint8_t>(
      lo + static_cast<int>(random.modulo(static_cast<std::uint32_t>(hi - lo + 1))));
}

// Semitones above the tonic of a bass run's steps, by bar (4, 8, 12), pulses per bar (2 ... 5)
// and variant.
using RunSteps = std::array<int, 5>;
constexpr std::array<std::array<std::array<RunSteps, 3>, 4>, 3> kRunOffsets = {{
    {{
        {{{0, 4}, {0, 2}, {0, 3}}},
        {{{0, 2, 4}, {0, 4, 6}, {0, 5, 4}}},
        {{{0, 2, 4, 6}, {0, 4, 5, 7}, {0, 2, 3, 4}}},
        {{{0, 2, 4, 5, 7}, {0, 2, 3, 4, 6}, {0, 4, 5, 4, 7}}},
    }},
    {{
        {{{0, 4}, {0, 5}, {0, 6}}},
        {{{0, 4, 5}, {0, 4, 6}, {0, 5, 6}}},
        {{{0, 2, 4, 5}, {0, 4, 5, 6}, {0, 4, 7, 9}}},
        {{{0, 2, 4, 5, 6}, {0, 4, 5, 7, 9}, {0, 2, 4, 7, 5}}},
    }},
    {{
        {{{7, 5}, {7, 4}, {7, 9}}},
        {{{7, 5, 4}, {7, 9, 11}, {7, 5, 9}}},
        {{{7, 5, 4, 2}, {7, 9, 10, 11}, {7, 5, 4, 5}}},
        {{{7, 5, 4, 3, 2}, {7, 9, 11, 12, 9}, {7, 4, 2, 4, 5}}},
    }},
}};

} // namespace

void Kernel::startBar(bool allowFills) noexcept {
  const float e = etiquette_.load(std::memory_order_relaxed);
  const int m = mode_.load(std::memory_order_relaxed);
  currentBarFirst_ = chooseHalfBarChord(e, m, 2 * barIndex_, rngState_);
  currentBarSecond_ = chooseHalfBarChord(e, m, 2 * barIndex_ + 1, rngState_);
  if (barIndex_ == 0)
    startChorus();
  if (phrase_.playing() || !allowFills)
    return;

  const float p = embroidery_.load(std::memory_order_relaxed);
  const float fillChance = p * 0.5f;
  const float shortFillChance = p * 0.4f;
  const auto tryPhrase = [&](const Phrase* candidate, float chance) {
    if (candidate && rngState_.below(chance)) {
      startPhrase(*candidate, barStartQuarter_);
      return true;
    }
    return false;
  };
  switch (barIndex_) {
  case 2:
    if (tryPhrase(selectFill(Slot::fillBar3to4), fillChance))
      return;
    break;
  case 6:
    if (tryPhrase(selectFill(Slot::fillBar7to8), fillChance))
      return;
    break;
  case 10:
    if (tryPhrase(selectTurnaround(), p))
      return;
    break;
  case 3:
    if (tryPhrase(selectFill(Slot::fillBar4), shortFillChance))
      return;
    break;
  case 7:
    if (tryPhrase(selectFill(Slot::fillBar8), shortFillChance))
      return;
    break;
  default:
    break;
  }
  const int pulses = geometry().pulsesPerBar;
  if ((barIndex_ == 3 || barIndex_ == 7 || barIndex_ == 11) && pulses >= 2 && pulses <= 5 &&
      rngState_.below(p))
    startBassRun(barStartQuarter_);
}

void Kernel::startChorus() noexcept {
  chorusUseMatched_ = rngState_.below(evolution_.load(std::memory_order_relaxed));
  lastFillFamily_.reset();
}

Tier Kernel::selectionTier() const noexcept {
  const float e = etiquette_.load(std::memory_order_relaxed);
  if (e != e || e < 0.33333334f)
    return Tier::basic;
  return e < 0.6666667f ? Tier::quickFour : Tier::jazz;
}

const Phrase* Kernel::filterPhrase(SlotTag slot, std::optional<std::string_view> family) noexcept {
  if (!geometry().wholePulse || !catalogue_)
    return nullptr;
  const int pulses = geometry().pulsesPerBar;
  const PulseSpacingClass spacing =
      geometry().compound ? PulseSpacingClass::compound : PulseSpacingClass::simple;
  std::optional<std::string_view> forced;
  const int forcedIndex = forcedFamilyIndex_.load(std::memory_order_relaxed);
  if (families_ && forcedIndex >= 0 && static_cast<std::size_t>(forcedIndex) < families_->size())
    forced = (*families_)[static_cast<std::size_t>(forcedIndex)];

  const auto qualifies = [&](const Phrase& phrase) {
    return phrase.pulsesPerBar == pulses &&
           std::find(phrase.spacingClasses.begin(), phrase.spacingClasses.end(), spacing) !=
               phrase.spacingClasses.end() &&
           (!forced || phrase.family == *forced) && (!family || phrase.family == *family);
  };
  const auto& candidates =
      catalogue_->phrases(slot, mode_.load(std::memory_order_relaxed) != 0, selectionTier());
  const auto count = std::count_if(candidates.begin(), candidates.end(), qualifies);
  if (count == 0)
    return nullptr;
  auto position = static_cast<long>(rngState_.modulo(static_cast<std::uint32_t>(count)));
  for (const Phrase& phrase : candidates)
    if (qualifies(phrase) && position-- == 0)
      return &phrase;
  return nullptr;
}

const Phrase* Kernel::selectFill(SlotTag slot) noexcept {
  if (chorusUseMatched_ && lastFillFamily_)
    return filterPhrase(slot, lastFillFamily_);
  const Phrase* phrase = filterPhrase(slot, std::nullopt);
  if (phrase)
    lastFillFamily_ = std::string_view(phrase->family);
  return phrase;
}

const Phrase* Kernel::selectTurnaround() noexcept {
  return filterPhrase(SlotTag::turnaround, chorusUseMatched_ ? lastFillFamily_ : std::nullopt);
}

void Kernel::startPhrase(const Phrase& phrase, double barStart) noexcept {
  const double pulseLength = geometry().pulseLength;
  const int pulses = geometry().pulsesPerBar;
  const int bars = barsOfSlot(phrase.slot);
  phrase_.start(barStart + pulseLength * pulses * bars, phrase.suspends);
  const double s = samplesPerQuarter();
  const double x = unitRange(exotica_.load(std::memory_order_relaxed));
  const bool mayDrop = !phrase.disables(MutationKind::drop);
  const bool mayShift = !phrase.disables(MutationKind::octaveShift);
  const bool mayGrace = !phrase.disables(MutationKind::graceNote);

  std::array<int, 8> barOctaveShifts{};
  for (int b = 0; b < bars; ++b)
    barOctaveShifts[static_cast<std::size_t>(b)] =
        mayShift && rngState_.below(0.3 * x) ? (rngState_.below(0.5) ? 24 : 12) : 0;

  const double dropChance = 0.3 * (1.0 - unitRange(emotion_.load(std::memory_order_relaxed)));
  const long long tonic = rootNote_.load(std::memory_order_relaxed) + 36LL;
  // Each note draws its velocity only when there is room for it.
  const auto append = [this](double target, std::uint8_t note, std::uint8_t velocity,
                             std::int64_t gate) {
    phrase_.push({target, note, velocity, 0, gate});
  };
  for (const PhraseEvent& event : phrase.events) {
    if (mayDrop && rngState_.below(dropChance))
      continue;
    long long pitch = event.pitchSemitones;
    if (event.voiceTag != VoiceTag::bass) {
      const double bar = foundation::clampFinite(std::trunc(event.timeOffsetPulses / pulses), 0.0,
                                                 static_cast<double>(bars - 1));
      pitch += barOctaveShifts[static_cast<std::size_t>(bar)];
    }
    if (!phrase_.full())
      append(barStart + pulseLength * event.timeOffsetPulses, noteOf(tonic + pitch),
             velocityBetween(event.velocityLow, event.velocityHigh, rngState_),
             gateOf(s * pulseLength * event.durationPulses));
    if (mayGrace && event.voiceTag != VoiceTag::chordStab && event.timeOffsetPulses >= 0.0625 &&
        rngState_.below(0.2 * x)) {
      const int lo = std::max<int>(event.velocityLow, 70) - 30;
      const int hi = std::max<int>(event.velocityHigh, 90) - 30;
      if (!phrase_.full())
        append(barStart + pulseLength * (event.timeOffsetPulses - 0.0625),
               noteOf(tonic + pitch - 1), velocityBetween(lo, hi, rngState_),
               gateOf(pulseLength * 0.0625 * s));
    }
  }
  offbeats_.clear();
}

void Kernel::startBassRun(double barStart) noexcept {
  const int pulses = geometry().pulsesPerBar;
  const double pulseLength = geometry().pulseLength;
  const double s = samplesPerQuarter();
  const double quarters = geometry().quartersPerBar;
  const auto variant = static_cast<std::size_t>(rngState_.step() % 3u);

  const int m = mode_.load(std::memory_order_relaxed);
  const HalfBarChord chord =
      progressionChord(static_cast<int>(Tier::quickFour), m, 2 * barIndex_ + 1);
  phrase_.start(barStart + quarters,
                SuspensionFlags::bass | SuspensionFlags::chordFirst | SuspensionFlags::offbeats);

  const long long tonic = rootNote_.load(std::memory_order_relaxed) + 36LL;
  const std::int64_t stabGate = gateOf(quarters * 0.75 * s);
  for (int tone = 1; tone < chordToneCount(chord.type) && !phrase_.full(); ++tone) {
    const std::uint32_t r = rngState_.step();
    phrase_.push({barStart, noteOf(tonic + chord.rootOffset + chordInterval(tone, chord.type)),
                  static_cast<std::uint8_t>(50 + r % 41u), 0, stabGate});
  }

  // Bars 4, 8 and 12 of the form; the caller only runs in bars of 2 to 5 pulses.
  const std::size_t bar = barIndex_ == 3 ? 0 : (barIndex_ == 7 ? 1 : 2);
  const RunSteps& steps =
      kRunOffsets[bar][static_cast<std::size_t>(std::clamp(pulses, 2, 5) - 2)][variant];
  const std::int64_t gate = gateOf(s * pulseLength * 0.5);
  for (int step = 0; step < pulses && step < 5 && !phrase_.full(); ++step) {
    const std::uint32_t r = rngState_.step();
    const auto velocity = static_cast<std::uint8_t>(step == 0 ? 120 + r % 8u : 100 + r % 28u);
    phrase_.push({barStart + pulseLength * step,
                  noteOf(tonic + steps[static_cast<std::size_t>(step)]), velocity, 0, gate});
  }
  offbeats_.clear();
}

} // namespace pallix::engine
