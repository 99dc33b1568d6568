// The phrase catalogue model: hand-written fills, runs and turnarounds, what they are played
// over and how the generator may vary them. Catalogue code and the sequencer both read it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Threads: plain values (copied, never shared), usable on any thread; the lookups are
// real-time safe.
namespace pallix::engine {

// The ordinals are part of the catalogue format: they pack the catalogue index key and index
// the selector's tables, so new values only ever go at the end.
enum class SlotTag : std::uint8_t { turnaround, fillBar4, fillBar8, fillBar3to4, fillBar7to8 };
enum class Mode : std::uint8_t { major, minor };
enum class Tier : std::uint8_t { basic, quickFour, jazz };
// simple: a pulse per quarter note; compound: a pulse per dotted quarter (x/8, x a multiple of
// 3).
enum class PulseSpacingClass : std::uint8_t { simple, compound };
enum class MutationKind : std::uint8_t { drop, octaveShift, graceNote };
// Bass notes are never octave-shifted; chord stabs never get a grace note.
enum class VoiceTag : std::uint8_t { bass, melody, chordStab };

// The parts of the generated accompaniment a playing phrase silences, as a bit mask.
struct SuspensionFlags {
  enum Flag : std::uint8_t { bass = 1, chordFirst = 2, offbeats = 4 };

  constexpr SuspensionFlags() noexcept = default;
  constexpr SuspensionFlags(Flag flag) noexcept : rawValue(flag) {}
  constexpr explicit SuspensionFlags(std::uint8_t raw) noexcept : rawValue(raw) {}

  // Whether every flag of other is set (true for the empty set).
  constexpr bool contains(SuspensionFlags other) const noexcept {
    return (rawValue & other.rawValue) == other.rawValue;
  }
  constexpr void insert(SuspensionFlags other) noexcept { rawValue |= other.rawValue; }
  constexpr bool empty() const noexcept { return rawValue == 0; }

  friend constexpr SuspensionFlags operator|(SuspensionFlags a, SuspensionFlags b) noexcept {
    return SuspensionFlags(static_cast<std::uint8_t>(a.rawValue | b.rawValue));
  }
  // Without this, bass | offbeats would be the built-in int operator.
  friend constexpr SuspensionFlags operator|(Flag a, Flag b) noexcept {
    return SuspensionFlags(a) | SuspensionFlags(b);
  }
  friend constexpr bool operator==(SuspensionFlags, SuspensionFlags) noexcept = default;

  std::uint8_t rawValue = 0;
};

// What an absent or empty list of modes, tiers or spacing classes means: all of them.
inline constexpr std::array<Mode, 2> kAllModes{Mode::major, Mode::minor};
inline constexpr std::array<Tier, 3> kAllTiers{Tier::basic, Tier::quickFour, Tier::jazz};
inline constexpr std::array<PulseSpacingClass, 2> kAllSpacingClasses{PulseSpacingClass::simple,
                                                                     PulseSpacingClass::compound};

// One note of a phrase, in pulses from the start of the phrase's first bar.
struct PhraseEvent {
  double timeOffsetPulses = 0.0;
  int pitchSemitones = 0; // above the key's tonic in the base octave; may be negative
  double durationPulses = 0.0;
  std::uint8_t velocityLow = 0;
  std::uint8_t velocityHigh = 0; // inclusive; the catalogues may write it below velocityLow
  VoiceTag voiceTag = VoiceTag::bass;

  friend bool operator==(const PhraseEvent&, const PhraseEvent&) = default;
};

// A hand-written fill, run or turnaround and where it may be played. A default phrase suits
// every mode, tier and spacing class, as one decoded without those keys does.
struct Phrase {
  SlotTag slot = SlotTag::turnaround;
  // Copied from the arrays rather than from initializer lists, which GCC 12 at -O3 reports
  // as maybe uninitialized.
  std::vector<Mode> modes{kAllModes.begin(), kAllModes.end()};
  std::vector<Tier> tiers{kAllTiers.begin(), kAllTiers.end()};
  int pulsesPerBar = 0; // of the meter it was written for; must match the current one
  std::vector<PulseSpacingClass> spacingClasses{kAllSpacingClasses.begin(),
                                                kAllSpacingClasses.end()};
  SuspensionFlags suspends;
  std::string family;
  std::vector<MutationKind> disableMutations;
  std::vector<PhraseEvent> events;

  // Whether the mutation kind must not be applied when the phrase starts.
  bool disables(MutationKind kind) const noexcept {
    return std::find(disableMutations.begin(), disableMutations.end(), kind) !=
           disableMutations.end();
  }

  friend bool operator==(const Phrase&, const Phrase&) = default;
};

inline constexpr int kCatalogueVersion = 4;

// One catalogue file as decoded; the loader accepts only kCatalogueVersion.
struct CatalogFile {
  int version = 0;
  std::vector<Phrase> phrases;

  friend bool operator==(const CatalogFile&, const CatalogFile&) = default;
};

// How many bars a phrase of the slot covers; a value outside the enumeration counts as 1.
constexpr int barsOfSlot(SlotTag slot) noexcept {
  switch (slot) {
  case SlotTag::turnaround:
  case SlotTag::fillBar3to4:
  case SlotTag::fillBar7to8:
    return 2;
  default:
    return 1;
  }
}

} // namespace pallix::engine
