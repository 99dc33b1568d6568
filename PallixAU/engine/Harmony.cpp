// Chord tones, the progression tables and the Etiquette mix.
#include "PallixAU/engine/Harmony.h"

#include <algorithm>
#include <array>

namespace pallix::engine {

namespace {

using C = ChordType;
using Progression = std::array<HalfBarChord, 24>;

// One chord per bar (both halves), or two where a bar changes at its middle.
struct Bar {
  int first;
  C firstType;
  int second;
  C secondType;
};

constexpr Progression build(const std::array<Bar, 12>& bars) {
  Progression p{};
  for (std::size_t b = 0; b < 12; ++b) {
    p[2 * b] = {bars[b].first, bars[b].firstType};
    p[2 * b + 1] = {bars[b].second, bars[b].secondType};
  }
  return p;
}

constexpr Bar same(int offset, C type) { return {offset, type, offset, type}; }

// Basic and quick-four share their roots in both modes; only the chord type differs.
constexpr Progression basicOf(C t) {
  return build({same(0, t), same(0, t), same(0, t), same(0, t), same(5, t), same(5, t), same(0, t),
                same(0, t), same(7, t), same(5, t), same(0, t), same(0, t)});
}
constexpr Progression quickFourOf(C t) {
  return build({same(0, t),
                same(5, t),
                same(0, t),
                same(0, t),
                same(5, t),
                same(5, t),
                same(0, t),
                same(0, t),
                same(7, t),
                same(5, t),
                same(0, t),
                {0, t, 7, t}});
}

constexpr Progression kBasicMajor = basicOf(C::majorTriad);
constexpr Progression kBasicMinor = basicOf(C::minor7);
constexpr Progression kQuickFourMajor = quickFourOf(C::majorTriad);
constexpr Progression kQuickFourMinor = quickFourOf(C::minor7);

constexpr Progression kJazzMajor = build({same(0, C::dominant7),
                                          same(5, C::dominant7),
                                          same(0, C::dominant7),
                                          same(0, C::dominant7),
                                          same(5, C::dominant7),
                                          same(6, C::diminished7),
                                          same(0, C::dominant7),
                                          same(9, C::dominant7),
                                          same(2, C::minor7),
                                          same(7, C::dominant7),
                                          {0, C::dominant7, 9, C::dominant7},
                                          {2, C::minor7, 7, C::dominant7}});

constexpr Progression kJazzMinor = build({same(0, C::minor7),
                                          same(5, C::minor7),
                                          same(0, C::minor7),
                                          same(0, C::dominant7),
                                          same(5, C::minor7),
                                          same(6, C::diminished7),
                                          same(0, C::minor7),
                                          same(0, C::minor7),
                                          same(8, C::dominant7),
                                          same(7, C::dominant7),
                                          {0, C::minor7, 8, C::dominant7},
                                          {2, C::halfDiminished7, 7, C::dominant7}});

constexpr std::array<int, 7> kToneCount = {3, 3, 4, 4, 4, 4, 4};
constexpr std::array<std::array<int, 4>, 7> kIntervals = {{
    {0, 4, 7, 0},
    {0, 3, 7, 0},
    {0, 4, 7, 10},
    {0, 3, 7, 10},
    {0, 4, 7, 11},
    {0, 3, 6, 9},
    {0, 3, 6, 10},
}};

std::size_t typeIndex(ChordType type) noexcept {
  return std::min<std::size_t>(static_cast<std::size_t>(type), kIntervals.size() - 1);
}

} // namespace

int chordInterval(int tone, ChordType type) noexcept {
  if (tone < 0 || tone > 3)
    return 0;
  return kIntervals[typeIndex(type)][static_cast<std::size_t>(tone)];
}

int chordToneCount(ChordType type) noexcept { return kToneCount[typeIndex(type)]; }

HalfBarChord progressionChord(int tier, int mode, int halfBar) noexcept {
  const bool minor = mode != 0;
  const std::size_t h = static_cast<std::size_t>(std::clamp(halfBar, 0, 23));
  switch (std::clamp(tier, 0, 2)) {
  case 0:
    return (minor ? kBasicMinor : kBasicMajor)[h];
  case 1:
    return (minor ? kQuickFourMinor : kQuickFourMajor)[h];
  default:
    return (minor ? kJazzMinor : kJazzMajor)[h];
  }
}

HalfBarChord chooseHalfBarChord(float etiquette, int mode, int halfBar,
                                XorShiftRandom& random) noexcept {
  double e = etiquette != etiquette ? 0.0 : std::clamp(static_cast<double>(etiquette), 0.0, 1.0);
  int first = 0; // basic, with quickFour as the second of the pair
  if (e >= 0.5) {
    first = 1; // quickFour, with jazz
    e -= 0.5;
  }
  const int tier = random.below(2.0 * e) ? first + 1 : first;
  return progressionChord(tier, mode, halfBar);
}

int chordRootNote(int rootNote, int rootOffset) noexcept {
  return std::clamp(rootNote + 36 + rootOffset, 0, 127);
}

int chordToneNote(int tone, int chordRoot, ChordType type) noexcept {
  return std::min(chordInterval(tone, type) + chordRoot, 127);
}

} // namespace pallix::engine
