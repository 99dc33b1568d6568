// The command-line host's timeline, whose arithmetic the app's demo shares.
#include "hosting/HostTimeline.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace hosting;

TEST(HostTimeline, BeatsTruncatedSamplesToTheNextBeatAndBarsOfTheMeter) {
  // 12/8 at 90 quarters a minute, 48 kHz: 32000 samples a beat, bars of 6 quarters.
  HostTimeline timeline(48000.0, 90.0, {12, 8}, 1000);
  struct Case {
    std::int64_t now;
    double beat;
    long toNext;
    double downbeat;
  };
  for (const Case& c : {Case{1000, 0.0, 32000, 0.0}, // on a beat: a whole beat, not 0
                        Case{1000 + 48000, 1.5, 16000, 0.0},
                        Case{1000 + 32000 * 13 + 1, 13 + 1 / 32000.0, 31999, 12.0}}) {
    timeline.setCurrentSampleTime(c.now);
    double tempo = 0, numerator = 0, beat = 0, downbeat = 0;
    long denominator = 0, toNext = 0;
    EXPECT_TRUE(
        timeline.musicalContext(&tempo, &numerator, &denominator, &beat, &toNext, &downbeat));
    EXPECT_TRUE(tempo == 90.0 && numerator == 12.0 && denominator == 8);
    EXPECT_DOUBLE_EQ(beat, c.beat);
    EXPECT_EQ(toNext, c.toNext);
    EXPECT_EQ(downbeat, c.downbeat);

    AUHostTransportStateFlags flags = 0;
    double position = -1;
    EXPECT_TRUE(timeline.transportState(&flags, &position, nullptr, nullptr));
    EXPECT_EQ(flags, AUHostTransportStateMoving);
    EXPECT_EQ(position, static_cast<double>(c.now - 1000));
  }
  // Every answer is optional.
  EXPECT_TRUE(timeline.musicalContext(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));

  // Started at quarter 16.5 of a song: a beat and a half later the second bar line, at 18.
  HostTimeline later(48000.0, 90.0, {12, 8}, 1000, 16.5);
  later.setCurrentSampleTime(1000 + 48000);
  double beat = 0, downbeat = 0, position = 0;
  long toNext = 0;
  later.musicalContext(nullptr, nullptr, nullptr, &beat, &toNext, &downbeat);
  later.transportState(nullptr, &position, nullptr, nullptr);
  EXPECT_EQ(std::tuple(beat, toNext, downbeat, position),
            std::tuple(18.0, 32000L, 18.0, 18.0 * 32000));
}
