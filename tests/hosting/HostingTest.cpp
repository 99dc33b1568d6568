// The hosts' shared pieces: timeline answers, command-line reading, seeds.
#include "hosting/CommandLine.h"
#include "hosting/HostTimeline.h"
#include "hosting/Seeds.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

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
    EXPECT_EQ(tempo, 90.0);
    EXPECT_EQ(numerator, 12.0);
    EXPECT_EQ(denominator, 8);
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

TEST(CommandLine, NumbersAreWholeAndFinite) {
  EXPECT_EQ(parseFiniteNumber("2.5"), 2.5);
  for (const char* bad : {"", "nan", "inf", "1e999", "3x", " 3"})
    EXPECT_FALSE(parseFiniteNumber(bad)) << bad;
  EXPECT_EQ(parseInteger("-12"), -12);
  EXPECT_FALSE(parseInteger("99999999999999999999"));
  EXPECT_FALSE(parseUnsigned("-1"));
  EXPECT_THROW(parseIntegerOption("--block-size", "0", 1, 16384), UsageError);
  EXPECT_THROW(parseNumberOption("--tempo", "fast", 4, 1000, "a tempo"), UsageError);
}

TEST(CommandLine, OptionsValuesPositionalsAndTheEndOfOptions) {
  const char* argv[] = {"tool", "in.mid", "--seconds=4", "--seed", "7", "--", "--out.wav"};
  std::vector<std::string_view> positional;
  std::vector<std::string> seen;
  EXPECT_TRUE(readCommandLine(7, argv, positional, [&](std::string_view name, ArgumentReader& r) {
    seen.push_back(std::string(name) + "=" + std::string(r.value(name)));
    return true;
  }));
  EXPECT_EQ(seen, (std::vector<std::string>{"--seconds=4", "--seed=7"}));
  EXPECT_EQ(positional, (std::vector<std::string_view>{"in.mid", "--out.wav"}));

  const char* unknown[] = {"tool", "--frobnicate"};
  EXPECT_THROW(readCommandLine(2, unknown, positional, [](auto, auto&) { return false; }),
               UsageError);
  const char* help[] = {"tool", "-h"};
  EXPECT_FALSE(readCommandLine(2, help, positional, [](auto, auto&) { return true; }));
}

TEST(Seeds, NeighbouringNumbersGiveUnrelatedSeeds) {
  const auto a = deriveSeeds(1), b = deriveSeeds(2);
  EXPECT_EQ(a, deriveSeeds(1));
  for (std::size_t i = 0; i < a.size(); ++i)
    EXPECT_NE(a[i], b[i]);
  EXPECT_NE(a[0], a[1]);
}
