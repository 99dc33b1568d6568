// Tests of the sequencer's parts on their own, where the whole sequencer cannot show them: which
// note a full table ends, the phrase queue, offbeats a jump cancels, and the transport follower's
// hold on bad answers.
#include "PallixAU/engine/ActiveNoteTable.h"
#include "PallixAU/engine/PendingOffbeats.h"
#include "PallixAU/engine/PhraseQueue.h"
#include "PallixAU/engine/TransportFollower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace engine = pallix::engine;

TEST(ActiveNoteTable, AFullTableEndsTheNoteClosestToItsEndAndEndAllEndsEveryNote) {
  engine::ActiveNoteTable table;
  for (int i = 0; i < engine::ActiveNoteTable::kCapacity; ++i) // gates 10 to 25 frames, 65's 3
    EXPECT_FALSE(table.add({static_cast<std::uint8_t>(60 + i), 0, i == 5 ? 3 : 10 + i}));
  const auto evicted = table.add({90, 1, 2});
  ASSERT_TRUE(evicted);
  EXPECT_EQ(evicted->note, 65);
  int ended = 0;
  table.endAll([&ended](const engine::ActiveNote&) { ++ended; });
  EXPECT_EQ(ended, engine::ActiveNoteTable::kCapacity);
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

TEST(PendingOffbeats, ClearedOnesNeverPlay) {
  engine::PendingOffbeats offbeats;
  offbeats.schedule(engine::PendingOffbeats::first, 3.0, 55, 90);
  offbeats.clear();
  offbeats.playDue(4.0,
                   [](const engine::PendingOffbeat& offbeat) { ADD_FAILURE() << offbeat.note; });
}

TEST(TransportFollower, KeepsTheLastUsableTempoMeterAndTime) {
  engine::HostPosition answer{.hasMusicalContext = true};
  engine::TransportFollower follower;
  for (const auto& tempoAndMeter : {std::tuple{90.0, 3.0, 4L},
                                    {0.0, 3.0, 0L},
                                    {NAN, 1e6, 4L},
                                    {2e5, 1.0, 1024L},
                                    {90.0, 0.5, 4L},
                                    {90.0, 9.2e18, std::numeric_limits<long>::max()}}) {
    std::tie(answer.tempo, answer.beatsPerBar, answer.beatUnit) = tempoAndMeter;
    follower.read(answer);
    EXPECT_EQ(follower.samplesPerQuarter(48000.0), 32000.0);
    EXPECT_EQ(follower.geometry().quartersPerBar, 3.0);
  }
  // A non-finite sample time continues the previous buffer.
  EXPECT_EQ(follower.bufferStartTime(1000.0, 64), 1000);
  EXPECT_EQ(follower.bufferStartTime(NAN, 64), 1064);
}
