// The LV2 client's transport: answers between positions are those a position at that moment
// would have given.
#include "plugins/lv2/TransportPosition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using hosting::TransportFollower;
using plugins::lv2::follow;
using plugins::lv2::TransportPosition;

constexpr double kRate = 48000;

struct Answers {
  bool known;
  double tempo, numerator, beat, downbeat, samplePosition;
  long denominator, toNextBeat;
  AUHostTransportStateFlags flags;
};

Answers answersOf(const TransportFollower& follower) {
  Answers a{};
  a.known = follower.musicalContext(&a.tempo, &a.numerator, &a.denominator, &a.beat, &a.toNextBeat,
                                    &a.downbeat);
  double start = 0, end = 0;
  EXPECT_EQ(follower.transportState(&a.flags, &a.samplePosition, &start, &end), a.known);
  return a;
}

// What a host rolling at bpm beatUnit notes a minute in beatsPerBar/beatUnit says at frame.
TransportPosition rolling(std::int64_t frame, double bpm, double beatsPerBar, int beatUnit) {
  const double beat = double(frame) * bpm / 60.0 / kRate;
  const auto bar = static_cast<std::int64_t>(std::floor(beat / beatsPerBar));
  return {1.0, bar, beat - double(bar) * beatsPerBar, beat, beatUnit, beatsPerBar, bpm, frame};
}

// The oracle: a fresh follower told the host's position at each block's start.
TEST(Lv2Transport, BlocksWithoutAPositionAnswerAsIfTheHostHadSentOne) {
  const unsigned seed = 1;
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  for (const auto& [bpm, beatsPerBar, beatUnit] :
       {std::tuple{120.0, 4.0, 4}, {90.0, 6.0, 8}, {151.5, 3.0, 4}, {60.0, 7.0, 8}}) {
    TransportFollower follower;
    follower.prepare(kRate);
    ASSERT_FALSE(answersOf(follower).known);
    follow(follower, rolling(0, bpm, beatsPerBar, beatUnit));
    std::int64_t frame = 0;
    for (int block = 0; block < 200; ++block) {
      const int frames = std::uniform_int_distribution<int>(1, 4096)(random);
      follower.advance(frames); // a block without a position
      frame += frames;
      TransportFollower told;
      told.prepare(kRate);
      follow(told, rolling(frame, bpm, beatsPerBar, beatUnit));
      const Answers a = answersOf(follower), b = answersOf(told);
      ASSERT_TRUE(a.known);
      EXPECT_DOUBLE_EQ(a.tempo, bpm * 4.0 / beatUnit);
      EXPECT_EQ(a.numerator, beatsPerBar);
      EXPECT_EQ(a.denominator, beatUnit);
      EXPECT_NEAR(a.beat, b.beat, 1e-9) << "frame " << frame;
      EXPECT_NEAR(a.downbeat, b.downbeat, 1e-9) << "frame " << frame;
      EXPECT_LE(std::abs(a.toNextBeat - b.toNextBeat), 1) << "frame " << frame;
      EXPECT_EQ(a.samplePosition, double(frame));
      EXPECT_EQ(a.flags, AUHostTransportStateMoving);
    }
  }
}

// jalv gives the bar and the beat within it, and no beat since the start; others all three.
TEST(Lv2Transport, BarAndBarBeatGiveThePosition) {
  TransportFollower follower;
  follower.prepare(kRate);
  TransportPosition position = rolling(0, 120, 3, 4);
  position.beat.reset();
  position.bar = 5;
  position.barBeat = 1.5;
  follow(follower, position);
  const Answers a = answersOf(follower);
  EXPECT_DOUBLE_EQ(a.beat, 16.5);
  EXPECT_DOUBLE_EQ(a.downbeat, 15.0);
  // After a change of meter, the host's bars need not start at a multiple of the bar.
  position.beat = 10.0;
  position.bar = 2;
  position.barBeat = 1.0;
  position.beatsPerBar = 4.0;
  follow(follower, position);
  EXPECT_DOUBLE_EQ(answersOf(follower).downbeat, 9.0);
}

// A host that tells only a change, and one that tells nonsense: what is left out or nonsense
// carries on.
TEST(Lv2Transport, StoppingAndNonsenseChangeOnlyWhatTheyShould) {
  TransportFollower follower;
  follower.prepare(kRate);
  follow(follower, rolling(96000, 120, 4, 4));
  follower.advance(24000);
  TransportPosition stop;
  stop.speed = 0.0;
  stop.frame = 200000; // and locates, with no beat
  follow(follower, stop);
  follower.advance(480000);
  TransportPosition nonsense;
  nonsense.beatsPerMinute = std::nan("");
  nonsense.beatsPerBar = -3;
  nonsense.beatUnit = 0;
  nonsense.beat = INFINITY;
  follow(follower, nonsense);
  const Answers a = answersOf(follower);
  EXPECT_DOUBLE_EQ(a.beat, 5.0);
  EXPECT_EQ(a.samplePosition, 200000.0);
  EXPECT_EQ(a.flags, 0u);
  EXPECT_EQ(a.tempo, 120.0);
  EXPECT_EQ(a.numerator, 4.0);
  EXPECT_EQ(a.denominator, 4);
}

} // namespace
