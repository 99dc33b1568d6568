// Tests of one pulse's accompaniment: bass, stabs, suspensions and offbeats.
#include "tests/PallixAU/engine/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <set>

using K = Kernel;

namespace {

// A kernel in the meter, in its warm-up after a transport start (so nothing plays by itself),
// with nothing dropped.
std::unique_ptr<Kernel> kernelIn(double numerator, long denominator, float etiquette = 0.0f) {
  auto kernel = preparedKernel();
  kernel->emotion = 1.0f;
  kernel->etiquette = etiquette;
  ScriptedHost host(48000.0, 120.0, numerator, denominator);
  host.play(*kernel, 1, 1);
  kernel->barIndex = 0;
  kernel->startBar(false);
  return kernel;
}

std::multiset<int> notesOf(const Kernel& kernel, int from = 0) {
  std::multiset<int> notes;
  for (int i = from; i < kernel.activeNoteCount; ++i)
    notes.insert(kernel.activeNotes[static_cast<std::size_t>(i)].note);
  return notes;
}

void play(Kernel& kernel, int pulse) {
  kernel.pulsesEmittedInBar = pulse;
  kernel.playPulse(0);
}

} // namespace

TEST(Accompaniment, ChordPulsesStabTheChordAndOtherPulsesPlayBass) {
  auto kernel = kernelIn(4, 4);
  play(*kernel, 0);
  EXPECT_EQ(notesOf(*kernel), (std::multiset<int>{36, 40, 43}));
  EXPECT_EQ(kernel->activeNotes[0].samplesUntilOff, 12000);
  for (int i = 1; i < 3; ++i) { // a = 2, m = 3.75 quarters of 24000 samples
    EXPECT_GE(kernel->activeNotes[static_cast<std::size_t>(i)].samplesUntilOff, 48000);
    EXPECT_LE(kernel->activeNotes[static_cast<std::size_t>(i)].samplesUntilOff, 90000);
  }
  EXPECT_DOUBLE_EQ(kernel->pendingOffbeatTarget, 0.5 + 0.5 / 3.0);
  play(*kernel, 2);
  EXPECT_EQ(notesOf(*kernel, 3), (std::multiset<int>{36}));

  // Quick-four bar 12 changes to the V at its middle: pulse 2 stabs G major.
  kernel = kernelIn(4, 4, 0.5f);
  kernel->barIndex = 11;
  kernel->startBar(false);
  play(*kernel, 2);
  EXPECT_EQ(notesOf(*kernel), (std::multiset<int>{43, 47, 50}));
}

TEST(Accompaniment, SuspensionsSilenceTheirParts) {
  auto kernel = kernelIn(4, 4);
  kernel->phraseActive = true;
  kernel->phraseSuspends = K::SuspensionFlags::bass | K::SuspensionFlags::offbeats;
  play(*kernel, 0);
  EXPECT_EQ(notesOf(*kernel), (std::multiset<int>{40, 43}));
  EXPECT_EQ(kernel->pendingOffbeatTarget, -1.0);
}

TEST(Accompaniment, OffbeatsInCompoundAndShortenedBarsAndAtTheTopOfTheRange) {
  auto kernel = kernelIn(12, 8);
  kernel->easiness = 1.0f; // every middle triplet note dropped
  for (int pulse = 0; pulse < 4; ++pulse) {
    play(*kernel, pulse);
    EXPECT_EQ(kernel->pendingOffbeatTarget, -1.0);
    EXPECT_DOUBLE_EQ(kernel->pendingOffbeatTarget2, 1.5 * pulse + 1.0);
  }
  kernel->easiness = 0.0f;
  play(*kernel, 1);
  EXPECT_DOUBLE_EQ(kernel->pendingOffbeatTarget, 2.0);

  kernel = kernelIn(7, 8);
  play(*kernel, 3); // half a quarter long
  EXPECT_EQ(kernel->pendingOffbeatTarget, -1.0);
  play(*kernel, 2);
  EXPECT_GE(kernel->pendingOffbeatTarget, 0.0);

  kernel = kernelIn(4, 4);
  kernel->rootNote = 100;
  play(*kernel, 1);
  EXPECT_EQ(kernel->pendingOffbeatNote, 127);
}
