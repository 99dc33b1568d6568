// Tests of the accompaniment of each pulse: bass, stabs, suspensions and offbeats, heard at
// 120 quarters a minute and 48 kHz, where a quarter is 24000 samples.
#include "tests/PallixAU/engine/KernelTestSupport.h"

#include <gtest/gtest.h>

namespace engine = pallix::engine;
using P = engine::PallixParameter;

namespace {

// What a host in the meter hears in the first bars, the basic progression's unless asked
// otherwise, with nothing dropped and no decoration.
std::vector<TimedMidi> heard(double numerator, long denominator, int bars,
                             ParameterSettings settings = {}) {
  settings.insert(settings.begin(), {{P::emotion, 1}, {P::etiquette, 0}, {P::embroidery, 0}});
  auto kernel = preparedKernel(settings);
  ScriptedHost host(48000.0, 120.0, numerator, denominator);
  host.play(*kernel, bars * host.samplesPerBar());
  return host.sent;
}

// When offbeats (the notes from 48 up in C) start.
std::vector<std::int64_t> offbeatTimes(const std::vector<TimedMidi>& sent, std::int64_t from,
                                       std::int64_t to) {
  std::vector<std::int64_t> times;
  for (const auto& m : sent)
    if (m.noteOn() && m.note() >= 48 && m.time >= from && m.time < to)
      times.push_back(m.time);
  return times;
}

} // namespace

TEST(Accompaniment, APhraseSilencesThePartsItSuspendsWhileItPlays) {
  auto kernel = preparedKernel(
      {{P::emotion, 1}, {P::etiquette, 0}, {P::embroidery, 1}, {P::exotica, 0}},
      {phraseOf(engine::SlotTag::turnaround, "a", {phraseNote(0, 30, engine::VoiceTag::melody)},
                engine::SuspensionFlags::bass | engine::SuspensionFlags::offbeats)});
  ScriptedHost host;
  host.play(*kernel, 13 * host.samplesPerBar());
  // Bars 11 and 12: stabs, no bass, no offbeats; then the bass again.
  const std::int64_t start = 10 * host.samplesPerBar(), end = 12 * host.samplesPerBar();
  EXPECT_EQ(notesOn(host.sent, start, start + 1500), (std::multiset<int>{40, 43, 66}));
  EXPECT_EQ(notesOn(host.sent, start, end, 36, 36).size(), 0u);
  EXPECT_EQ(notesOn(host.sent, start, end, 48, 65).size(), 0u);
  EXPECT_EQ(notesOn(host.sent, end, end + 1, 36, 36).size(), 1u);
}

TEST(Accompaniment, OffbeatsInCompoundAndShortenedBarsAndAtTheTopOfTheRange) {
  // 12/8, bar 2: pulses every 36000 samples. Easiness 1 drops every middle triplet note.
  EXPECT_EQ(offbeatTimes(heard(12, 8, 3, {{P::easiness, 1}}), 144000, 288000),
            (std::vector<std::int64_t>{168000, 204000, 240000, 276000}));
  EXPECT_EQ(
      offbeatTimes(heard(12, 8, 3, {{P::easiness, 0}}), 144000, 288000),
      (std::vector<std::int64_t>{156000, 168000, 192000, 204000, 228000, 240000, 264000, 276000}));

  // 7/8, 84000 samples a bar: the last pulse, half a quarter long, has no offbeat, even where
  // the next bar's first pulse drops its own (Emotion 0 drops half) and would leave it playing.
  for (const std::int64_t t : offbeatTimes(heard(7, 8, 24, {{P::emotion, 0}}), 0, 24 * 84000))
    EXPECT_FALSE(t % 84000 > 1500 && t % 84000 < 16000) << t;

  // Root note 100 puts every chord tone at 127: the offbeat an octave up stays there.
  EXPECT_EQ(notesOn(heard(4, 4, 2, {{P::rootNote, 100}}), 16000, 16001), (std::multiset<int>{127}));
}
