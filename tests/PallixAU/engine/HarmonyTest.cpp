// Tests of the 12-bar harmony, the random source's uniform draws and the bar geometry of every
// meter.
#include "PallixAU/engine/Harmony.h"
#include "PallixAU/engine/BarGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace engine = pallix::engine;

// The progressions are otherwise pinned by the render fingerprints, which never reach this
// chord: bar 12 of jazz in A minor is a half-diminished B, then a dominant E.
TEST(Harmony, JazzMinorEndsOnAHalfDiminishedTwo) {
  engine::XorShiftRandom random;
  const auto first = engine::chooseHalfBarChord(1.0f, 1, 22, random);
  const auto second = engine::chooseHalfBarChord(1.0f, 1, 23, random);
  EXPECT_EQ(first.type, engine::ChordType::halfDiminished7);
  EXPECT_EQ(engine::chordRootNote(9, first.rootOffset), 47);
  EXPECT_EQ(second.type, engine::ChordType::dominant7);
  EXPECT_EQ(engine::chordRootNote(9, second.rootOffset), 52);
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
