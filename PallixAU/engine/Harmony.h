// The chords of the 12-bar form: chord types, the six progressions and how Etiquette mixes them.
#pragma once

#include "PallixAU/engine/XorShiftRandom.h"

#include <cstdint>

namespace pallix::engine {

enum class ChordType : std::uint8_t {
  majorTriad = 0,
  minorTriad = 1,
  dominant7 = 2,
  minor7 = 3,
  major7 = 4,
  diminished7 = 5,
  halfDiminished7 = 6,
};

// Semitones of tone (0 = root) above the chord root: 0 for the root, for tone 3 of a triad
// and for any tone outside 0 ... 3. Any thread.
int chordInterval(int tone, ChordType type) noexcept;
// 3 for triads, 4 for the others. Any thread.
int chordToneCount(ChordType type) noexcept;

struct HalfBarChord {
  int rootOffset = 0; // semitones above the key's tonic
  ChordType type = ChordType::majorTriad;
  bool operator==(const HalfBarChord&) const = default;
};

// Entry halfBar (2 × bar + half, 0 ... 23) of a tier's progression (0 basic, 1 quickFour,
// 2 jazz); mode 0 is major, any other minor. Out-of-range tiers and half-bars use the nearest
// valid entry. Any thread.
HalfBarChord progressionChord(int tier, int mode, int halfBar) noexcept;

// The chord of a half-bar: Etiquette (clamped to 0 ... 1; NaN as 0) picks a pair of
// neighbouring tiers and one uniform draw picks one of them. Draws once. Render thread.
HalfBarChord chooseHalfBarChord(float etiquette, int mode, int halfBar,
                                XorShiftRandom& random) noexcept;

// rootNote + 36 + offset, clamped to 0 ... 127. Any thread.
int chordRootNote(int rootNote, int rootOffset) noexcept;
// Tone i of a chord on a root note, limited to 127. Any thread.
int chordToneNote(int tone, int chordRoot, ChordType type) noexcept;

} // namespace pallix::engine
