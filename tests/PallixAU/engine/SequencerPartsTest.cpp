// Tests of the sequencer's parts on their own: the active-note table, the phrase queue, the
// pending offbeats and the transport follower.
#include "PallixAU/engine/ActiveNoteTable.h"
#include "PallixAU/engine/PendingOffbeats.h"
#include "PallixAU/engine/PhraseQueue.h"
#include "PallixAU/engine/TransportFollower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

using pallix::engine::ActiveNote;
using pallix::engine::ActiveNoteTable;
using pallix::engine::ContextHolder;
using pallix::engine::PendingOffbeat;
using pallix::engine::PendingOffbeats;
using pallix::engine::PendingPhraseEvent;
using pallix::engine::PhraseQueue;
using pallix::engine::SuspensionFlags;
using pallix::engine::TransportFollower;

TEST(ActiveNoteTable, EndsNotesWhenTheirGatesRunOutAndMakesRoomByEndingTheClosestToItsEnd) {
  ActiveNoteTable table;
  std::vector<int> ended;
  const auto end = [&ended](const ActiveNote& note) { ended.push_back(note.note); };
  for (int i = 0; i < ActiveNoteTable::kCapacity; ++i) // gates 10 to 25 frames, 65's 3
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
  EXPECT_EQ(ended.size(), std::size_t{ActiveNoteTable::kCapacity - 2});
  EXPECT_EQ(table.size(), 0);

  // Of equally close notes, the first gives up its slot.
  for (int i = 0; i < ActiveNoteTable::kCapacity; ++i)
    table.add({static_cast<std::uint8_t>(70 + i), 0, 5});
  EXPECT_EQ(table.add({90, 0, 5})->note, 70);
}

TEST(PhraseQueue, PlaysEachNoteWhenDueAndEndsThePhraseAtItsEnd) {
  PhraseQueue queue;
  EXPECT_FALSE(queue.silences({})); // nothing plays
  queue.start(8.0, SuspensionFlags::bass);
  EXPECT_TRUE(queue.silences(SuspensionFlags::bass));
  EXPECT_FALSE(queue.silences(SuspensionFlags::bass | SuspensionFlags::offbeats));
  for (const double at : {2.0, 1.0, 3.0 + 1e-10, 9.0})
    queue.push({at, static_cast<std::uint8_t>(at * 10), 100, 0, 1});
  std::vector<int> played;
  const auto play = [&played](const PendingPhraseEvent& event) { played.push_back(event.note); };
  queue.playDue(0.5, play);
  EXPECT_TRUE(played.empty());
  queue.playDue(2.5, play); // both due: the last queued takes the first one's place
  EXPECT_EQ(played, (std::vector<int>{20, 10}));
  queue.playDue(3.0, play); // within the tolerance
  EXPECT_EQ(played.back(), 30);
  EXPECT_EQ(queue.size(), 1);
  queue.playDue(8.0, play); // the end: what never came due is dropped
  EXPECT_FALSE(queue.playing());
  EXPECT_EQ(queue.size(), 0);
  EXPECT_EQ(played.size(), 3u);

  queue.start(4.0, {});
  for (int i = 0; i < PhraseQueue::kCapacity + 2; ++i)
    queue.push({});
  EXPECT_TRUE(queue.full());
  EXPECT_EQ(queue.size(), PhraseQueue::kCapacity);
}

TEST(PendingOffbeats, EachPlaysOnceWhenDueInSlotOrderUnlessCleared) {
  PendingOffbeats offbeats;
  std::vector<int> played;
  const auto play = [&played](const PendingOffbeat& offbeat) { played.push_back(offbeat.note); };
  offbeats.schedule(PendingOffbeats::first, 1.5, 50, 90);
  offbeats.schedule(PendingOffbeats::lastTriplet, 1.0, 60, 90);
  offbeats.playDue(0.9, play);
  offbeats.playDue(1.0, play);
  offbeats.schedule(PendingOffbeats::lastTriplet, 1.2, 62, 90);
  offbeats.playDue(2.0, play);
  offbeats.playDue(3.0, play);
  EXPECT_EQ(played, (std::vector<int>{60, 50, 62}));
  offbeats.schedule(PendingOffbeats::first, 3.0, 55, 90);
  offbeats.clear();
  offbeats.playDue(4.0, play);
  EXPECT_EQ(played.size(), 3u);
}

namespace {

// A host that answers these values, on the move.
struct HostAnswers {
  double tempo = 120.0, numerator = 4.0, beat = 0.0, downbeat = 0.0;
  long denominator = 4, toNextBeat = 0;
};

ContextHolder contextOf(const HostAnswers& a) {
  ContextHolder context;
  context.musicalContext = [&a](double* t, double* n, long* d, double* b, long* next,
                                double* down) {
    std::tie(*t, *n, *d, *b, *next, *down) =
        std::tie(a.tempo, a.numerator, a.denominator, a.beat, a.toNextBeat, a.downbeat);
    return true;
  };
  context.transportState = [](AUHostTransportStateFlags* flags, double*, double*, double*) {
    *flags = AUHostTransportStateMoving;
    return true;
  };
  return context;
}

} // namespace

TEST(TransportFollower, KeepsTheLastUsableTempoMeterAndTime) {
  HostAnswers host{90.0, 3.0};
  const ContextHolder context = contextOf(host);
  TransportFollower follower;
  for (const auto& [tempo, numerator, denominator] :
       {std::tuple{90.0, 3.0, 4L}, {0.0, 3.0, 0L}, {NAN, 1e6, 4L}, {2e5, 1.0, 1024L}}) {
    std::tie(host.tempo, host.numerator, host.denominator) =
        std::tie(tempo, numerator, denominator);
    follower.read(context);
    EXPECT_EQ(follower.samplesPerQuarter(48000.0), 32000.0);
    EXPECT_EQ(follower.geometry().quartersPerBar, 3.0);
  }
  EXPECT_TRUE(follower.starting());
  // A non-finite time stamp continues the previous buffer.
  EXPECT_EQ(follower.bufferStartTime(AudioTimeStamp::withSampleTime(1000.0), 64), 1000);
  EXPECT_EQ(follower.bufferStartTime(AudioTimeStamp::withSampleTime(NAN), 64), 1064);
}

TEST(TransportFollower, StartsWithAWarmupAndAHalfBeatOffsetThatLaterStartsKeep) {
  HostAnswers host;
  host.toNextBeat = 24000; // on the downbeat, yet a whole beat to the next
  const ContextHolder context = contextOf(host);
  TransportFollower follower;
  follower.read(context);
  follower.start(48000.0);
  int warmup = 0;
  while (follower.warmingUp())
    ++warmup;
  EXPECT_EQ(warmup, TransportFollower::kWarmupFrames);
  EXPECT_EQ(follower.locateBuffer().position, -0.5);

  // Mid-bar nothing is detected: beat 6.5 is quarter 6, in bar 1 from quarter 4.
  std::tie(host.beat, host.downbeat) = std::pair(6.5, 4.0);
  follower.read(context);
  follower.start(48000.0);
  const auto start = follower.locateBuffer();
  EXPECT_EQ(start.position, 6.0);
  ASSERT_TRUE(start.jumpedInto);
  EXPECT_EQ(start.jumpedInto->number, 1);
  EXPECT_EQ(start.jumpedInto->startQuarter, 4.0);
}
