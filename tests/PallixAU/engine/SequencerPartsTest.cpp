// Tests of the sequencer's parts on their own: the active-note table, the phrase queue, the
// pending offbeats and the transport follower.
#include "PallixAU/engine/ActiveNoteTable.h"
#include "PallixAU/engine/PendingOffbeats.h"
#include "PallixAU/engine/PhraseQueue.h"
#include "PallixAU/engine/TransportFollower.h"
#include "tests/PallixAU/engine/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace engine = pallix::engine;

TEST(ActiveNoteTable, EndsNotesWhenTheirGatesRunOutAndMakesRoomByEndingTheClosestToItsEnd) {
  engine::ActiveNoteTable table;
  std::vector<int> ended;
  const auto end = [&ended](const engine::ActiveNote& note) { ended.push_back(note.note); };
  for (int i = 0; i < engine::ActiveNoteTable::kCapacity; ++i) // gates 10 to 25 frames, 65's 3
    EXPECT_FALSE(table.add({static_cast<std::uint8_t>(60 + i), 0, i == 5 ? 3 : 10 + i}));
  const auto evicted = table.add({90, 1, 2});
  ASSERT_TRUE(evicted);
  EXPECT_EQ(evicted->note, 65);
  for (int frame = 1; frame <= 10; ++frame) {
    table.advanceFrame(end);
    EXPECT_EQ(ended.size(), frame < 2 ? 0u : (frame < 10 ? 1u : 2u)) << frame;
  }
  EXPECT_EQ(ended, (std::vector<int>{90, 60}));
  ended.clear();
  table.endAll(end);
  EXPECT_EQ(ended.size(), std::size_t{engine::ActiveNoteTable::kCapacity - 2});
  EXPECT_EQ(table.size(), 0);
}

TEST(PhraseQueue, PlaysEachNoteWhenDueAndEndsThePhraseAtItsEnd) {
  engine::PhraseQueue queue;
  queue.start(8.0, engine::SuspensionFlags::bass);
  EXPECT_TRUE(queue.silences(engine::SuspensionFlags::bass));
  EXPECT_FALSE(queue.silences(engine::SuspensionFlags::bass | engine::SuspensionFlags::offbeats));
  for (const double at : {2.0, 1.0, 3.0 + 1e-10, 9.0})
    queue.push({at, static_cast<std::uint8_t>(at * 10), 100, 0, 1});
  std::vector<int> played;
  const auto play = [&played](const engine::PendingPhraseEvent& event) {
    played.push_back(event.note);
  };
  for (const double q : {0.5, 2.5, 3.0}) // the last within the tolerance of 3 + 1e-10
    queue.playDue(q, play);
  EXPECT_EQ(played, (std::vector<int>{20, 10, 30})); // the last queued took 20's place
  EXPECT_EQ(queue.size(), 1);
  queue.playDue(8.0, play); // the end: what never came due is dropped
  EXPECT_FALSE(queue.playing() || queue.silences({}) || queue.size() > 0);
  EXPECT_EQ(played.size(), 3u);

  queue.start(4.0, {});
  for (int i = 0; i < engine::PhraseQueue::kCapacity + 2; ++i)
    queue.push({});
  EXPECT_TRUE(queue.full() && queue.size() == engine::PhraseQueue::kCapacity);
}

TEST(PendingOffbeats, EachPlaysOnceWhenDueInSlotOrderUnlessCleared) {
  engine::PendingOffbeats offbeats;
  std::vector<int> played;
  const auto play = [&played](const engine::PendingOffbeat& offbeat) {
    played.push_back(offbeat.note);
  };
  offbeats.schedule(engine::PendingOffbeats::first, 1.5, 50, 90);
  offbeats.schedule(engine::PendingOffbeats::lastTriplet, 1.0, 60, 90);
  for (const double q : {0.9, 2.0, 3.0})
    offbeats.playDue(q, play);
  EXPECT_EQ(played, (std::vector<int>{50, 60})); // in slot order, once
  offbeats.schedule(engine::PendingOffbeats::first, 3.0, 55, 90);
  offbeats.clear();
  offbeats.playDue(4.0, play);
  EXPECT_EQ(played.size(), 2u);
}

TEST(TransportFollower, KeepsTheLastUsableTempoMeterAndTime) {
  std::tuple<double, double, long> answer;
  engine::ContextHolder context;
  context.musicalContext = [&answer](double* t, double* n, long* d, double* beat, long* next,
                                     double* down) {
    std::tie(*t, *n, *d) = answer;
    *beat = *down = *next = 0;
    return true;
  };
  engine::TransportFollower follower;
  for (const auto& tempoAndMeter : {std::tuple{90.0, 3.0, 4L},
                                    {0.0, 3.0, 0L},
                                    {NAN, 1e6, 4L},
                                    {2e5, 1.0, 1024L},
                                    {90.0, 0.5, 4L},
                                    {90.0, 9.2e18, std::numeric_limits<long>::max()}}) {
    answer = tempoAndMeter;
    follower.read(context);
    EXPECT_EQ(follower.samplesPerQuarter(48000.0), 32000.0);
    EXPECT_EQ(follower.geometry().quartersPerBar, 3.0);
  }
  // A non-finite time stamp continues the previous buffer.
  EXPECT_EQ(follower.bufferStartTime(AudioTimeStamp::withSampleTime(1000.0), 64), 1000);
  EXPECT_EQ(follower.bufferStartTime(AudioTimeStamp::withSampleTime(NAN), 64), 1064);
}

TEST(TransportFollower, StartsWithAWarmupAndTakesOnlyAHostHalfABeatOffItsOwnClockAsEarly) {
  ScriptedHost host;
  host.wholeBeatOnTheBeat = true; // on the downbeat, a whole beat to the next: consistent
  engine::TransportFollower follower;
  const auto startAt = [&](double beat, double lead) {
    host.beatOffset = beat;
    host.positionLead = lead;
    follower.read(host.context);
    follower.start(48000.0);
    return follower.locateBuffer();
  };
  EXPECT_EQ(startAt(0.0, 0.0).position, 0.0);
  int warmup = 0;
  while (follower.warmingUp())
    ++warmup;
  EXPECT_EQ(warmup, engine::TransportFollower::kWarmupFrames);

  // Positions half a quarter ahead of the beat clock, just before a bar line or mid-bar.
  for (const double beat : {16.0, 17.3})
    EXPECT_DOUBLE_EQ(startAt(beat, 0.5).position, beat) << beat;
  // A later start with a consistent host, just after a bar line, drops the offset.
  const auto start = startAt(16.2, 0.0);
  EXPECT_EQ(start.position, 16.2);
  ASSERT_TRUE(start.jumpedInto);
  EXPECT_EQ(start.jumpedInto->number, 4);
  EXPECT_EQ(start.jumpedInto->startQuarter, 16.0);
}
