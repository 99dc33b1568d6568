// The command-line host's timeline, whose arithmetic the app's demo shares.
#include "hosting/HostTimeline.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace hosting;

// What the tools' renders do not show (their beats and beat lengths the render fingerprints
// hold): a whole beat to the next on a beat (not 0), the bar lines, the transport.
TEST(HostTimeline, BarsOfTheMeterFromTheSongPositionAndTheTransport) {
  // 12/8 at 90 quarters a minute, 48 kHz: 32000 samples a beat, bars of 6 quarters.
  HostTimeline timeline(48000.0, 90.0, {12, 8}, 1000);
  for (const auto& [now, toNext, downbeat] :
       {std::tuple{1000, 32000L, 0.0}, {1000 + 32000 * 13 + 1, 31999L, 12.0}}) {
    timeline.setCurrentSampleTime(now);
    double bar = -1, position = -1;
    long samples = 0;
    AUHostTransportStateFlags flags = 0;
    EXPECT_TRUE(timeline.musicalContext(nullptr, nullptr, nullptr, nullptr, &samples, &bar));
    EXPECT_TRUE(timeline.transportState(&flags, &position, nullptr, nullptr));
    EXPECT_EQ(std::tuple(samples, bar, flags, position),
              std::tuple(toNext, downbeat, AUHostTransportStateMoving, double(now - 1000)));
  }
  // Started at quarter 16.5 of a song: a beat and a half later the second bar line, at 18.
  HostTimeline later(48000.0, 90.0, {12, 8}, 1000, 16.5);
  later.setCurrentSampleTime(1000 + 48000);
  double downbeat = 0;
  later.musicalContext(nullptr, nullptr, nullptr, nullptr, nullptr, &downbeat);
  EXPECT_EQ(downbeat, 18.0);
}
