// Tests of the 12-bar harmony, the random source's uniform draws and the bar geometry of every
// meter.
#include "PallixAU/engine/Harmony.h"
#include "PallixAU/engine/BarGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace engine = pallix::engine;

namespace {

// Both halves of a bar (1-based, as musicians count) at one Etiquette.
std::pair<engine::HalfBarChord, engine::HalfBarChord> bar(int number, float etiquette, int mode) {
  engine::XorShiftRandom random;
  const int h = 2 * (number - 1);
  return {engine::chooseHalfBarChord(etiquette, mode, h, random),
          engine::chooseHalfBarChord(etiquette, mode, h + 1, random)};
}

} // namespace

TEST(Harmony, EtiquetteEndsPickOneProgression) {
  // Basic, major, in C: bar 9 is G in both halves, bar 12 is C twice.
  auto [a, b] = bar(9, 0.0f, 0);
  EXPECT_EQ(engine::chordRootNote(0, a.rootOffset), 43);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.type, engine::ChordType::majorTriad);
  auto [c, d] = bar(12, 0.0f, 0);
  EXPECT_EQ(engine::chordRootNote(0, c.rootOffset), 36);
  EXPECT_EQ(engine::chordRootNote(0, d.rootOffset), 36);

  // Jazz, minor, in A: bar 12 is a half-diminished B, then a dominant E.
  auto [e, f] = bar(12, 1.0f, 1);
  EXPECT_EQ(e.type, engine::ChordType::halfDiminished7);
  EXPECT_EQ(engine::chordRootNote(9, e.rootOffset), 47);
  EXPECT_EQ(f.type, engine::ChordType::dominant7);
  EXPECT_EQ(engine::chordRootNote(9, f.rootOffset), 52);

  // Quick-four at 0.5 whatever the draws; minor keeps the roots and plays minor sevenths.
  for (int h = 0; h < 24; ++h) {
    engine::XorShiftRandom random;
    random.state = 0x9E3779B9u * static_cast<std::uint32_t>(h + 1);
    const engine::HalfBarChord chord = engine::chooseHalfBarChord(0.5f, 1, h, random);
    EXPECT_EQ(chord.rootOffset, engine::progressionChord(1, 0, h).rootOffset);
    EXPECT_EQ(chord.type, engine::ChordType::minor7);
  }
}

TEST(Harmony, InBetweenEtiquetteMixesNeighbouringTiersPerHalfBar) {
  // At 0.25, bar 2 is C (basic) or F (quick four) independently in each half.
  int f = 0, c = 0, mixed = 0;
  engine::XorShiftRandom random;
  for (int i = 0; i < 400; ++i) {
    const int first = engine::chooseHalfBarChord(0.25f, 0, 2, random).rootOffset;
    const int second = engine::chooseHalfBarChord(0.25f, 0, 3, random).rootOffset;
    (first == 5 ? f : c) += 1;
    mixed += first != second;
  }
  EXPECT_NEAR(f, 200, 40);
  EXPECT_GT(mixed, 120);
  EXPECT_EQ(c + f, 400);
  // Out-of-range inputs pick the nearest entry instead of reading past a table.
  engine::XorShiftRandom r;
  EXPECT_EQ(engine::chooseHalfBarChord(std::nanf(""), 0, 99, r),
            engine::progressionChord(0, 0, 23));
  EXPECT_EQ(engine::progressionChord(7, 3, -4), engine::progressionChord(2, 1, 0));
}

// 1 is reachable: a divisor of 2^32 changes too few draws for the render fingerprints to show.
TEST(Random, UniformDrawsReachOne) {
  engine::XorShiftRandom random;
  random.step(), random.step();
  EXPECT_EQ(random.uniform(), 473283022 / 4294967295.0);
}

TEST(BarGeometry, PulsesAndHalvesOfEveryMeter) {
  // numerator, unit: pulses, first-half pulses, pulse length, compound, whole-pulse
  for (auto [n, u, p, h, len, compound, whole] : {std::tuple{4.0, 4L, 4, 2, 1.0, false, true},
                                                  {3.0, 4L, 3, 2, 1.0, false, true},
                                                  {5.0, 4L, 5, 3, 1.0, false, true},
                                                  {6.0, 8L, 2, 1, 1.5, true, true},
                                                  {12.0, 8L, 4, 2, 1.5, true, true},
                                                  {7.0, 8L, 4, 2, 1.0, false, false},
                                                  {9.0, 8L, 3, 2, 1.5, true, true},
                                                  {2.0, 2L, 4, 2, 1.0, false, true},
                                                  {1.0, 16L, 1, 1, 1.0, false, false}}) {
    const engine::BarGeometry g = engine::BarGeometry::of(n, u);
    SCOPED_TRACE(std::to_string(n) + "/" + std::to_string(u));
    EXPECT_EQ(g.pulsesPerBar, p);
    EXPECT_EQ(g.firstHalfPulses, h);
    EXPECT_EQ(g.pulseLength, len);
    EXPECT_EQ(g.compound, compound);
    EXPECT_EQ(g.wholePulse, whole);
  }
  EXPECT_EQ(engine::BarGeometry::of(1e300, 1).pulsesPerBar, engine::BarGeometry::kMaxPulses);
}
