// Tests of the decisions at bar starts: chances, family matching, mutation, bass runs.
#include "tests/PallixAU/engine/KernelTestSupport.h"

#include <gtest/gtest.h>

using K = Kernel;

namespace {

std::vector<K::Phrase> fillsOf(std::string family) {
  std::vector<K::Phrase> phrases;
  for (auto slot : {K::SlotTag::fillBar4, K::SlotTag::fillBar8, K::SlotTag::fillBar3to4,
                    K::SlotTag::fillBar7to8})
    phrases.push_back(phraseOf(slot, family, {phraseNote(0, 12, K::VoiceTag::melody)}));
  return phrases;
}

// Bass at pulse 0, melody at 0.5, a stab at 1, melody in the second bar.
K::Phrase twoBarPhrase() {
  return phraseOf(K::SlotTag::fillBar3to4, "a",
                  {phraseNote(0, 0, K::VoiceTag::bass), phraseNote(0.5, 7, K::VoiceTag::melody),
                   phraseNote(1, 4, K::VoiceTag::chordStab),
                   phraseNote(4.5, 10, K::VoiceTag::melody)});
}

// A kernel after one render call in the meter, so its bar geometry is the host's.
std::unique_ptr<Kernel> kernelIn(double numerator, long denominator) {
  auto kernel = preparedKernel();
  ScriptedHost host(48000.0, 120.0, numerator, denominator);
  host.play(*kernel, 1, 1);
  return kernel;
}

} // namespace

TEST(Fills, EmbroideryZeroNeverDecoratesAndOneStartsTheLongFillHalfTheTime) {
  auto kernel = preparedKernel();
  auto phrases = fillsOf("a");
  phrases.push_back(phraseOf(K::SlotTag::turnaround, "a", {}));
  useCatalogue(*kernel, phrases);
  kernel->embroidery = 0.0f;
  for (int bar = 0; bar < 1200; ++bar) {
    kernel->barIndex = bar % 12;
    kernel->startBar(true);
    ASSERT_FALSE(kernel->phraseActive);
  }

  kernel->embroidery = 1.0f;
  int started = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    kernel->phraseActive = false;
    kernel->barIndex = 2;
    kernel->startBar(true);
    started += kernel->phraseActive;
  }
  EXPECT_NEAR(started / 4000.0, 0.5, 0.04);

  // While it plays, bar 4 only sets its chords: two draws.
  kernel->phraseActive = true;
  kernel->barIndex = 3;
  XorShiftRandom expected = kernel->rngState;
  expected.step();
  expected.step();
  kernel->startBar(true);
  EXPECT_EQ(kernel->rngState.state, expected.state);
}

TEST(Fills, EvolutionOneKeepsEveryFillAndTurnaroundOfAChorusInOneFamily) {
  auto kernel = preparedKernel();
  auto phrases = fillsOf("a");
  for (auto& p : fillsOf("b"))
    phrases.push_back(p);
  phrases.push_back(phraseOf(K::SlotTag::turnaround, "a", {}));
  useCatalogue(*kernel, phrases);
  kernel->evolution = 1.0f;
  int sawB = 0;
  for (int chorus = 0; chorus < 200; ++chorus) {
    kernel->barIndex = 0;
    kernel->startBar(false);
    ASSERT_TRUE(kernel->chorusUseMatched);
    const K::Phrase* first = kernel->selectFill(K::SlotTag::fillBar4);
    ASSERT_NE(first, nullptr);
    for (auto slot : {K::SlotTag::fillBar8, K::SlotTag::fillBar3to4, K::SlotTag::fillBar7to8})
      EXPECT_EQ(kernel->selectFill(slot)->family, first->family);
    const K::Phrase* turnaround = kernel->selectTurnaround();
    EXPECT_EQ(turnaround != nullptr, first->family == "a");
    sawB += first->family == "b";
  }
  EXPECT_GT(sawB, 50);

  // A forced family narrows every choice.
  kernel->forcedFamilyIndex = 1;
  kernel->barIndex = 0;
  kernel->startBar(false);
  EXPECT_EQ(kernel->selectFill(K::SlotTag::fillBar8)->family, "b");
}

TEST(Fills, MutationsFollowExoticaEmotionAndTheirDisabledKinds) {
  auto kernel = preparedKernel();
  K::Phrase phrase = twoBarPhrase();
  kernel->exotica = 0.0f;
  kernel->emotion = 1.0f;
  kernel->startPhrase(phrase, 8.0);
  ASSERT_EQ(kernel->phraseEventCount, 4);
  EXPECT_EQ(kernel->phraseEventQueue[1].note, 43);
  EXPECT_DOUBLE_EQ(kernel->phraseEventQueue[3].targetQuarter, 12.5);
  EXPECT_DOUBLE_EQ(kernel->phraseEndQ, 16.0);

  kernel->exotica = 1.0f;
  bool shifted = false, graced = false;
  for (int trial = 0; trial < 400; ++trial) {
    kernel->startPhrase(phrase, 0.0);
    const auto& q = kernel->phraseEventQueue;
    EXPECT_EQ(q[0].note, 36); // bass is never shifted and has no grace note at pulse 0
    if (kernel->barOctaveShifts[0] != 0) {
      shifted = true;
      EXPECT_EQ(q[1].note, 43 + kernel->barOctaveShifts[0]);
    }
    // Grace notes come a sixteenth of a pulse early, right after their main note; never before
    // pulse 0.0625 and never for a stab.
    for (int i = 1; i < kernel->phraseEventCount; ++i) {
      EXPECT_NE(q[static_cast<std::size_t>(i)].targetQuarter, 0.9375);
      if (q[static_cast<std::size_t>(i)].targetQuarter == 0.4375) {
        graced = true;
        EXPECT_EQ(q[static_cast<std::size_t>(i)].note + 1, q[static_cast<std::size_t>(i - 1)].note);
      }
    }
  }
  EXPECT_TRUE(shifted);
  EXPECT_TRUE(graced);

  phrase.disableMutations = {K::MutationKind::graceNote};
  kernel->emotion = -1.0f; // the most drops
  int kept = 0;
  for (int trial = 0; trial < 400; ++trial) {
    kernel->startPhrase(phrase, 0.0);
    ASSERT_LE(kernel->phraseEventCount, 4);
    kept += kernel->phraseEventCount;
  }
  EXPECT_NEAR(kept / 1600.0, 0.7, 0.05);
}

TEST(Fills, BassRunsWalkFromTheBarsOwnStepsOverTheQuickFourChord) {
  auto kernel = kernelIn(4, 4);
  kernel->barIndex = 11;
  kernel->startBassRun(44.0);
  EXPECT_DOUBLE_EQ(kernel->phraseEndQ, 48.0);
  EXPECT_EQ(kernel->phraseSuspends.rawValue, 7);
  ASSERT_EQ(kernel->phraseEventCount, 2 + 4);
  // The V chord's third and fifth, then a run that starts on the fifth of the key.
  EXPECT_EQ(kernel->phraseEventQueue[0].note, 47);
  EXPECT_EQ(kernel->phraseEventQueue[1].note, 50);
  EXPECT_EQ(kernel->phraseEventQueue[2].note, 43);
  EXPECT_GE(kernel->phraseEventQueue[2].velocity, 120);
  EXPECT_EQ(kernel->phraseEventQueue[2].gateSamples, 12000);
  EXPECT_EQ(kernel->phraseEventQueue[0].gateSamples, 72000);

  kernel->mode = 1; // minor: a minor seventh, three stab notes
  kernel->barIndex = 3;
  kernel->startBassRun(12.0);
  EXPECT_EQ(kernel->phraseEventCount, 3 + 4);
  EXPECT_EQ(kernel->phraseEventQueue[3].note, 36);
}

TEST(Fills, SevenEightSelectsNoPhraseButStillRunsTheBass) {
  auto kernel = kernelIn(7, 8);
  useCatalogue(*kernel, fillsOf("a"));
  kernel->embroidery = 1.0f;
  EXPECT_EQ(kernel->selectFill(K::SlotTag::fillBar4), nullptr);
  kernel->barIndex = 3;
  kernel->startBar(true);
  EXPECT_TRUE(kernel->phraseActive);
  EXPECT_EQ(kernel->phraseEventCount, 2 + 4);
}
