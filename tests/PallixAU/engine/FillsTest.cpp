// Tests of the decisions at bar starts, as heard: chances, family matching, mutation, bass runs.
#include "tests/PallixAU/engine/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <map>

using pallix::engine::Kernel;
using pallix::engine::MutationKind;
using pallix::engine::Phrase;
using pallix::engine::SlotTag;
using pallix::engine::SuspensionFlags;
using pallix::engine::VoiceTag;
using P = pallix::engine::PallixParameter;

namespace {

// Most tests run a fast host, at 1200 quarters a minute and 8 kHz: a quarter is 400 samples.
constexpr std::int64_t kQuarter = 400, kBar = 4 * kQuarter, kChorus = 12 * kBar;

// One note per fill, pitch + 36 + the slot's ordinal: 66 to 69 in C for pitch 30.
std::vector<Phrase> fillsOf(std::string family, int pitch) {
  std::vector<Phrase> phrases;
  for (auto slot :
       {SlotTag::fillBar4, SlotTag::fillBar8, SlotTag::fillBar3to4, SlotTag::fillBar7to8})
    phrases.push_back(phraseOf(
        slot, family, {phraseNote(0, pitch + static_cast<int>(slot) - 1, VoiceTag::melody)}));
  return phrases;
}

// The notes started in each bar of each chorus, on the fast host.
using Form = std::vector<std::array<std::multiset<int>, 12>>;
Form playChoruses(Kernel& kernel, int choruses) {
  ScriptedHost host(8000.0, 1200.0);
  host.sent.reserve(static_cast<std::size_t>(choruses) * 500);
  host.play(kernel, choruses * kChorus);
  Form form(static_cast<std::size_t>(choruses));
  for (const auto& m : host.sent)
    if (m.noteOn() && m.time < host.now)
      form[static_cast<std::size_t>(m.time / kChorus)][(m.time % kChorus) / kBar].insert(m.note());
  return form;
}

std::size_t countIn(const std::multiset<int>& notes, int lowest, int highest) {
  return static_cast<std::size_t>(
      std::distance(notes.lower_bound(lowest), notes.upper_bound(highest)));
}

// The notes started in bars 11 and 12 of each chorus and on the next downbeat, by sample offset
// from bar 11, on the fast host playing nothing but a turnaround. Exotica 0 unless set.
std::vector<std::multimap<std::int64_t, int>> turnarounds(const Phrase& turnaround, int choruses,
                                                          ParameterSettings settings) {
  auto kernel = preparedKernel({{P::embroidery, 1}, {P::emotion, 1}, {P::exotica, 0}}, 8000.0);
  for (const auto& [parameter, value] : settings)
    kernel->setParameter(parameter, value);
  useCatalogue(*kernel, {turnaround});
  ScriptedHost host(8000.0, 1200.0);
  host.play(*kernel, choruses * kChorus);
  std::vector<std::multimap<std::int64_t, int>> heard(static_cast<std::size_t>(choruses));
  for (const auto& m : host.sent) {
    const std::int64_t chorus = (m.time - 10 * kBar) / kChorus;
    const std::int64_t offset = m.time - 10 * kBar - chorus * kChorus;
    if (m.noteOn() && m.time >= 10 * kBar && offset <= 2 * kBar)
      heard[static_cast<std::size_t>(chorus)].insert({offset, m.note()});
  }
  return heard;
}

} // namespace

TEST(Fills, EmbroideryZeroNeverDecoratesAndOneStartsTheLongFillHalfTheTime) {
  auto phrases = fillsOf("a", 30);
  phrases.push_back(phraseOf(SlotTag::turnaround, "a", {phraseNote(0, 50, VoiceTag::melody)}));
  auto kernel = preparedKernel({{P::embroidery, 0}, {P::emotion, 1}, {P::etiquette, 0}}, 8000.0);
  useCatalogue(*kernel, phrases);
  // No phrase note, and no bass run silencing the offbeats (48 to 59 in C) of bars 4, 8, 12.
  for (const auto& chorus : playChoruses(*kernel, 100))
    for (std::size_t bar = 0; bar < 12; ++bar) {
      EXPECT_EQ(countIn(chorus[bar], 66, 127), 0u);
      EXPECT_TRUE(bar % 4 != 3 || countIn(chorus[bar], 48, 59) == 4);
    }

  kernel = preparedKernel({{P::embroidery, 1}, {P::emotion, 1}, {P::exotica, 0}}, 8000.0);
  useCatalogue(*kernel, phrases);
  int started = 0;
  for (const auto& chorus : playChoruses(*kernel, 2000)) {
    const bool longFill = chorus[2].contains(68);
    started += longFill;
    EXPECT_FALSE(longFill && chorus[3].contains(66)); // nothing else starts while it plays
  }
  EXPECT_NEAR(started / 2000.0, 0.5, 0.04);
}

TEST(Fills, EvolutionOneKeepsEveryFillAndTurnaroundOfAChorusInOneFamily) {
  auto phrases = fillsOf("a", 30); // 66 to 69
  for (auto& p : fillsOf("b", 40)) // 76 to 79
    phrases.push_back(p);
  phrases.push_back(phraseOf(SlotTag::turnaround, "a", {phraseNote(0, 50, VoiceTag::melody)}));
  const auto families = [](const std::array<std::multiset<int>, 12>& chorus) {
    std::array<std::size_t, 3> notes{}; // a, b, the turnaround
    for (const auto& bar : chorus)
      notes = {notes[0] + countIn(bar, 66, 69), notes[1] + countIn(bar, 76, 79),
               notes[2] + countIn(bar, 86, 86)};
    return notes;
  };
  auto kernel = preparedKernel(
      {{P::embroidery, 1}, {P::evolution, 1}, {P::emotion, 1}, {P::exotica, 0}}, 8000.0);
  useCatalogue(*kernel, phrases);
  int sawA = 0, sawB = 0;
  for (const auto& chorus : playChoruses(*kernel, 200)) {
    const auto [a, b, turnaround] = families(chorus);
    EXPECT_TRUE(a == 0 || b == 0);
    EXPECT_TRUE(a + b == 0 || turnaround == (a > 0 ? 1u : 0u)); // only family a has one
    sawA += a > 0;
    sawB += b > 0;
  }
  EXPECT_GT(sawA, 50);
  EXPECT_GT(sawB, 50);

  // A forced family narrows every choice.
  kernel->setForcedFamily(1);
  for (const auto& chorus : playChoruses(*kernel, 20)) {
    const auto [a, b, turnaround] = families(chorus);
    EXPECT_EQ(a + turnaround, 0u);
  }
}

TEST(Fills, MutationsFollowExoticaEmotionAndTheirDisabledKinds) {
  // Bass at pulse 0, melody at 0.5, a stab at 1, melody in the second bar; alone while it plays.
  // Notes due on the bar line the phrase starts at play a frame after it.
  Phrase phrase =
      phraseOf(SlotTag::turnaround, "a",
               {phraseNote(0, 0, VoiceTag::bass), phraseNote(0.5, 7, VoiceTag::melody),
                phraseNote(1, 4, VoiceTag::chordStab), phraseNote(4.5, 10, VoiceTag::melody)});
  phrase.suspends = SuspensionFlags::bass | SuspensionFlags::chordFirst | SuspensionFlags::offbeats;
  const auto plain = turnarounds(phrase, 2, {})[0];
  EXPECT_EQ(std::multimap(plain.begin(), plain.lower_bound(2 * kBar)),
            (std::multimap<std::int64_t, int>{{1, 36}, {200, 43}, {400, 40}, {1800, 46}}));
  EXPECT_EQ(plain.find(2 * kBar)->second, 36); // it has ended: the bass is back

  // Grace notes come a sixteenth of a pulse (25 samples) early, a semitone below their note;
  // never before pulse 0.0625 and never for a stab. Bass notes are never shifted.
  bool shifted = false, graced = false;
  for (const auto& notes : turnarounds(phrase, 100, {{P::exotica, 1}})) {
    ASSERT_EQ(notes.count(1), 1u);
    ASSERT_TRUE(notes.contains(200) && notes.contains(400));
    EXPECT_EQ(notes.find(1)->second, 36);
    EXPECT_EQ(notes.count(375), 0u);
    const int melody = notes.find(200)->second;
    EXPECT_TRUE(melody == 43 || melody == 55 || melody == 67) << melody;
    EXPECT_EQ(notes.find(400)->second, melody - 3); // the stab shares its bar's shift
    shifted = shifted || melody != 43;
    if (notes.contains(175)) {
      graced = true;
      EXPECT_EQ(notes.find(175)->second, melody - 1);
    }
  }
  EXPECT_TRUE(shifted);
  EXPECT_TRUE(graced);

  phrase.disableMutations = {MutationKind::graceNote};
  int kept = 0;
  for (const auto& notes : turnarounds(phrase, 400, {{P::exotica, 1}, {P::emotion, -1}})) {
    for (const auto& [offset, note] : notes)
      if (offset < 2 * kBar) {
        EXPECT_TRUE(offset == 1 || offset == 200 || offset == 400 || offset == 1800) << offset;
        ++kept;
      }
  }
  EXPECT_NEAR(kept / 1600.0, 0.7, 0.05); // Emotion -1 drops the most
}

TEST(Fills, BassRunsWalkFromTheBarsOwnStepsOverTheQuickFourChord) {
  // At 48 kHz and 120 quarters a minute, bar 12 from 1056000 (a frame later, as every phrase
  // starting on a bar line): the V chord's third and fifth, held three quarters of the bar,
  // and a run from the fifth of the key, a half pulse each.
  auto kernel = preparedKernel({{P::embroidery, 1}});
  ScriptedHost host;
  host.play(*kernel, 12 * host.samplesPerBar());
  const std::int64_t bar12 = 11 * host.samplesPerBar();
  EXPECT_EQ(notesOn(host.sent, bar12 + 1, bar12 + 2), (std::multiset<int>{43, 47, 50}));
  EXPECT_EQ(notesOn(host.sent, bar12, bar12 + host.samplesPerBar()).size(), 2u + 4u);
  for (const auto& m : host.sent)
    if (m.noteOn() && m.time == bar12 + 1 && m.note() == 43) {
      EXPECT_GE(m.bytes[2], 120);
    }
  EXPECT_EQ(onTimes(host.sent, 43, true).back(), bar12 + 1 + 12000);
  EXPECT_EQ(onTimes(host.sent, 50, true).back(), bar12 + 1 + 72000);

  // Minor: a minor seventh, three stab notes, in bar 4.
  kernel = preparedKernel({{P::embroidery, 1}, {P::mode, 1}});
  ScriptedHost minor;
  minor.play(*kernel, 4 * minor.samplesPerBar());
  const std::int64_t bar4 = 3 * minor.samplesPerBar();
  EXPECT_EQ(notesOn(minor.sent, bar4 + 1, bar4 + 2), (std::multiset<int>{36, 39, 43, 46}));
  EXPECT_EQ(notesOn(minor.sent, bar4, bar4 + minor.samplesPerBar()).size(), 3u + 4u);
}

TEST(Fills, SevenEightSelectsNoPhraseButStillRunsTheBass) {
  auto kernel = preparedKernel({{P::embroidery, 1}, {P::emotion, 1}}, 8000.0);
  useCatalogue(*kernel, fillsOf("a", 30));
  ScriptedHost host(8000.0, 1200.0, 7, 8);
  host.play(*kernel, 12 * host.samplesPerBar());
  EXPECT_TRUE(notesOn(host.sent, 0, host.now, 66).empty());
  // Bar 4: the C chord's stab and a run from C, four steps.
  const std::int64_t bar4 = 3 * host.samplesPerBar();
  EXPECT_EQ(notesOn(host.sent, bar4 + 1, bar4 + 2), (std::multiset<int>{36, 40, 43}));
  EXPECT_EQ(notesOn(host.sent, bar4, bar4 + host.samplesPerBar()).size(), 2u + 4u);
}
