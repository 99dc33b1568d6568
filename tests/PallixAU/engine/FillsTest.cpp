// Tests of the decisions at bar starts, as heard: chances, family matching, mutation, bass runs.
// A phrase's notes due on the bar line it starts at play a frame after it.
// Drawn velocities beyond 1 ... 127, grace notes' included, are the catalogue fuzz target's
// saved input velocity-bounds-0-and-above-127.json, replayed in every build.
#include "tests/PallixAU/engine/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace engine = pallix::engine;
using P = engine::PallixParameter;

namespace {

// Most tests run a fast host, at 1200 quarters a minute and 8 kHz: a quarter is 400 samples.
constexpr std::int64_t kQuarter = 400, kBar = 4 * kQuarter, kChorus = 12 * kBar;

// One note per fill, pitch + 36 + the slot's ordinal - 1: 66 to 69 in C for pitch 30.
std::vector<engine::Phrase> fillsOf(std::string family, int pitch) {
  std::vector<engine::Phrase> phrases;
  for (auto slot : {engine::SlotTag::fillBar4, engine::SlotTag::fillBar8,
                    engine::SlotTag::fillBar3to4, engine::SlotTag::fillBar7to8})
    phrases.push_back(
        phraseOf(slot, family,
                 {phraseNote(0, pitch + static_cast<int>(slot) - 1, engine::VoiceTag::melody)}));
  return phrases;
}

// The notes started in each chorus on the fast host, by sample offset from its start.
using Chorus = std::multimap<std::int64_t, int>;
std::vector<Chorus> playChoruses(engine::Kernel& kernel, int count) {
  ScriptedHost host(8000.0, 1200.0);
  host.sent.reserve(static_cast<std::size_t>(count) * 500);
  host.play(kernel, count * kChorus);
  std::vector<Chorus> heard(static_cast<std::size_t>(count));
  for (const auto& m : host.sent)
    if (m.noteOn() && m.time < host.now)
      heard[static_cast<std::size_t>(m.time / kChorus)].insert({m.time % kChorus, m.note()});
  return heard;
}

// How many of the notes from lowest to highest start in bars first to last (0 ... 11).
std::size_t countIn(const Chorus& chorus, int lowest, int highest, int first = 0, int last = 11) {
  std::size_t count = 0;
  for (auto it = chorus.lower_bound(first * kBar); it != chorus.lower_bound((last + 1) * kBar);
       ++it)
    count += it->second >= lowest && it->second <= highest;
  return count;
}

} // namespace

TEST(Fills, EmbroideryDecoratesTheFormAndEvolutionOneKeepsAChorusInOneFamily) {
  auto phrases = fillsOf("a", 30); // 66 to 69
  for (auto& p : fillsOf("b", 40)) // 76 to 79
    phrases.push_back(p);
  phrases.push_back(
      phraseOf(engine::SlotTag::turnaround, "a", {phraseNote(0, 50, engine::VoiceTag::melody)}));
  // Embroidery 0: no phrase note, and no bass run silencing the offbeats (48 to 59 in C) of
  // bars 4, 8 and 12.
  auto kernel =
      preparedKernel({{P::embroidery, 0}, {P::emotion, 1}, {P::etiquette, 0}}, phrases, 8000.0);
  for (const auto& chorus : playChoruses(*kernel, 100))
    EXPECT_TRUE(countIn(chorus, 66, 127) == 0 && countIn(chorus, 48, 59, 3, 3) == 4 &&
                countIn(chorus, 48, 59, 7, 7) == 4 && countIn(chorus, 48, 59, 11, 11) == 4);

  // Embroidery 1: the long fill of bars 3 and 4 half the time.
  kernel = preparedKernel({{P::embroidery, 1}, {P::evolution, 1}, {P::emotion, 1}, {P::exotica, 0}},
                          phrases, 8000.0);
  int longFills = 0, sawA = 0, sawB = 0;
  for (const auto& chorus : playChoruses(*kernel, 1000)) {
    const bool longFill = countIn(chorus, 68, 68, 2, 2) + countIn(chorus, 78, 78, 2, 2) > 0;
    longFills += longFill;
    // Nothing else starts while it plays.
    EXPECT_FALSE(longFill && countIn(chorus, 66, 66, 3, 3) + countIn(chorus, 76, 76, 3, 3) > 0);
    const std::size_t a = countIn(chorus, 66, 69), b = countIn(chorus, 76, 79);
    EXPECT_TRUE(a == 0 || b == 0);
    if (a + b > 0) { // only family a has a turnaround
      EXPECT_EQ(countIn(chorus, 86, 86), a > 0 ? 1u : 0u);
    }
    sawA += a > 0;
    sawB += b > 0;
  }
  EXPECT_NEAR(longFills / 1000.0, 0.5, 0.05);
  EXPECT_GT(sawA, 250);
  EXPECT_GT(sawB, 250);

  kernel->setForcedFamily(1); // b: every choice narrowed to it
  for (const auto& chorus : playChoruses(*kernel, 20))
    EXPECT_EQ(countIn(chorus, 66, 69) + countIn(chorus, 86, 86), 0u);
}

TEST(Fills, MutationsFollowExoticaEmotionAndTheirDisabledKinds) {
  // A turnaround from bar 11: bass at pulse 0, melody at 0.5, a stab at 1, melody in the second
  // bar; alone while it plays.
  engine::Phrase phrase = phraseOf(engine::SlotTag::turnaround, "a",
                                   {phraseNote(0, 0, engine::VoiceTag::bass),
                                    phraseNote(0.5, 7, engine::VoiceTag::melody),
                                    phraseNote(1, 4, engine::VoiceTag::chordStab),
                                    phraseNote(4.5, 10, engine::VoiceTag::melody)},
                                   engine::SuspensionFlags(7)); // everything
  const auto play = [&phrase](int count, ParameterSettings settings) {
    settings.insert(settings.begin(), {{P::embroidery, 1}, {P::emotion, 1}, {P::exotica, 0}});
    return playChoruses(*preparedKernel(settings, {phrase}, 8000.0), count);
  };
  constexpr std::int64_t at = 10 * kBar;
  const auto plain = play(2, {});
  EXPECT_EQ(Chorus(plain[0].lower_bound(at), plain[0].end()),
            (Chorus{{at + 1, 36}, {at + 200, 43}, {at + 400, 40}, {at + 1800, 46}}));

  // Grace notes come a sixteenth of a pulse (25 samples) early, a semitone below their note;
  // never before pulse 0.0625 and never for a stab. Bass notes are never shifted.
  bool shifted = false, graced = false;
  for (const auto& notes : play(100, {{P::exotica, 1}})) {
    ASSERT_TRUE(notes.contains(at + 1) && notes.contains(at + 200) && notes.contains(at + 400));
    EXPECT_EQ(notes.find(at + 1)->second, 36);
    EXPECT_EQ(notes.count(at + 375), 0u);
    const int melody = notes.find(at + 200)->second;
    EXPECT_TRUE(melody == 43 || melody == 55 || melody == 67) << melody;
    EXPECT_EQ(notes.find(at + 400)->second, melody - 3); // the stab shares its bar's shift
    shifted = shifted || melody != 43;
    graced = graced || notes.contains(at + 175);
    EXPECT_TRUE(!notes.contains(at + 175) || notes.find(at + 175)->second == melody - 1);
  }
  EXPECT_TRUE(shifted);
  EXPECT_TRUE(graced);

  phrase.disableMutations = {engine::MutationKind::graceNote};
  int kept = 0;
  for (const auto& notes : play(400, {{P::exotica, 1}, {P::emotion, -1}}))
    for (auto it = notes.lower_bound(at); it != notes.end(); ++it, ++kept)
      EXPECT_TRUE(it->first == at + 1 || it->first == at + 200 || it->first == at + 400 ||
                  it->first == at + 1800)
          << it->first - at;
  EXPECT_NEAR(kept / 1600.0, 0.7, 0.05); // Emotion -1 drops the most
}

TEST(Fills, BassRunsWalkFromTheBarsOwnStepsOverTheQuickFourChord) {
  // At 48 kHz and 120 quarters a minute, bar 12 from 1056000: the V chord's third and fifth,
  // held three quarters of the bar, and a run from the fifth of the key, a half pulse each.
  auto kernel = preparedKernel({{P::embroidery, 1}});
  ScriptedHost host;
  host.play(*kernel, 12 * host.samplesPerBar());
  const std::int64_t bar12 = 11 * host.samplesPerBar();
  EXPECT_EQ(notesOn(host.sent, bar12 + 1, bar12 + 2), (std::multiset<int>{43, 47, 50}));
  EXPECT_EQ(notesOn(host.sent, bar12, bar12 + host.samplesPerBar()).size(), 2u + 4u);
  EXPECT_TRUE(std::any_of(host.sent.begin(), host.sent.end(), [&](const TimedMidi& m) {
    return m.noteOn() && m.time == bar12 + 1 && m.note() == 43 && m.bytes[2] >= 120; // accented
  }));
  EXPECT_EQ(onTimes(host.sent, 43, true).back(), bar12 + 1 + 12000);
  EXPECT_EQ(onTimes(host.sent, 50, true).back(), bar12 + 1 + 72000);

  // 7/8, where no phrase fits, on the fast host: still a run from C in bar 4, four steps.
  kernel = preparedKernel({{P::embroidery, 1}}, fillsOf("a", 30), 8000.0);
  ScriptedHost sevenEight(8000.0, 1200.0, 7, 8);
  sevenEight.play(*kernel, 12 * sevenEight.samplesPerBar());
  EXPECT_TRUE(notesOn(sevenEight.sent, 0, sevenEight.now, 66).empty());
  const std::int64_t bar = 3 * sevenEight.samplesPerBar();
  EXPECT_EQ(notesOn(sevenEight.sent, bar + 1, bar + 2), (std::multiset<int>{36, 40, 43}));
  EXPECT_EQ(notesOn(sevenEight.sent, bar, bar + sevenEight.samplesPerBar()).size(), 2u + 4u);
}
