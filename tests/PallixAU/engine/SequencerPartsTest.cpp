// Tests of the sequencer's parts on their own: the active-note table, the phrase queue, the
// pending offbeats and the transport follower.
#include "PallixAU/engine/ActiveNoteTable.h"
#include "PallixAU/engine/PendingOffbeats.h"
#include "PallixAU/engine/PhraseQueue.h"
#include "PallixAU/engine/TransportFollower.h"

#include <gtest/gtest.h>

#include <cmath>
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
  table.advanceFrame(end);
  EXPECT_TRUE(ended.empty());
  table.advanceFrame(end);
  EXPECT_EQ(ended, std::vector<int>{90});
  EXPECT_EQ(table.size(), ActiveNoteTable::kCapacity - 1);
  for (int frame = 2; frame < 10; ++frame)
    table.advanceFrame(end);
  EXPECT_EQ(ended, (std::vector<int>{90, 60})); // 10 frames
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

// A host in 4/4 at 120 quarters a minute (24000 samples a quarter at 48 kHz), on the move.
struct Host {
  double tempo = 120.0, numerator = 4.0, beat = 0.0;
  long denominator = 4, toNextBeat = 0;
  ContextHolder context() {
    ContextHolder c;
    c.musicalContext = [this](double* t, double* n, long* d, double* b, long* next, double* down) {
      *t = tempo;
      *n = numerator;
      *d = denominator;
      *b = beat;
      *next = toNextBeat;
      *down = numerator * 4.0 / static_cast<double>(denominator) * std::floor(beat / 4.0);
      return true;
    };
    c.transportState = [](AUHostTransportStateFlags* flags, double*, double*, double*) {
      *flags = AUHostTransportStateMoving;
      return true;
    };
    return c;
  }
};

} // namespace

TEST(TransportFollower, KeepsTheLastUsableTempoAndMeter) {
  Host host;
  const ContextHolder context = host.context();
  TransportFollower follower;
  for (const auto& [tempo, numerator, denominator] :
       {std::tuple{90.0, 3.0, 4L}, {0.0, 3.0, 0L}, {NAN, 1e6, 4L}, {2e5, 1.0, 1024L}}) {
    host.tempo = tempo;
    host.numerator = numerator;
    host.denominator = denominator;
    follower.read(context);
    EXPECT_EQ(follower.samplesPerQuarter(48000.0), 32000.0);
    EXPECT_EQ(follower.geometry().quartersPerBar, 3.0);
  }
  EXPECT_TRUE(follower.starting());
}

TEST(TransportFollower, StartsWithAWarmupAndAHalfBeatOffsetAndLocatesEachBuffer) {
  Host host;
  host.toNextBeat = 24000; // on the downbeat, yet a whole beat to the next
  const ContextHolder context = host.context();
  TransportFollower follower;
  follower.read(context);
  follower.start(48000.0);
  int warmup = 0;
  while (follower.warmingUp())
    ++warmup;
  EXPECT_EQ(warmup, TransportFollower::kWarmupFrames);
  auto start = follower.locateBuffer();
  EXPECT_EQ(start.position, -0.5);
  follower.finishBuffer(start.position, 12000, 24000.0);

  // Continuing: no bar to sync to. Then a start mid-bar keeps the offset found: beat 6.5 is
  // quarter 6, in bar 1.
  host.beat = 0.5;
  follower.read(context);
  start = follower.locateBuffer();
  EXPECT_EQ(start.position, 0.0);
  EXPECT_FALSE(start.jumpedInto || start.wentBack);
  host.beat = 6.5;
  follower.read(context);
  follower.start(48000.0);
  start = follower.locateBuffer();
  ASSERT_TRUE(start.jumpedInto);
  EXPECT_EQ(start.jumpedInto->number, 1);
  EXPECT_EQ(start.jumpedInto->startQuarter, 4.0);
  EXPECT_FALSE(start.wentBack);
  host.beat = 5.0; // more than half a quarter back
  follower.read(context);
  EXPECT_TRUE(follower.locateBuffer().wentBack);
}

TEST(TransportFollower, ANonFiniteTimeStampContinuesThePreviousBuffer) {
  TransportFollower follower;
  EXPECT_EQ(follower.bufferStartTime(AudioTimeStamp::withSampleTime(1000.0), 64), 1000);
  EXPECT_EQ(follower.bufferStartTime(AudioTimeStamp::withSampleTime(NAN), 64), 1064);
  EXPECT_EQ(follower.bufferStartTime(AudioTimeStamp::withSampleTime(INFINITY), 64), 1128);
}
