// Tests of the sequencer as a host drives it: timing, transport edges, jumps, whole runs.
#include "tests/PallixAU/engine/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <set>

namespace engine = pallix::engine;
using P = engine::PallixParameter;

namespace {

// Every slot in 4/4, with notes no accompaniment plays (pitch 30 and up: note 66 in C), each
// silencing the bass.
std::vector<engine::Phrase> everySlot() {
  std::vector<engine::Phrase> phrases;
  for (auto slot :
       {engine::SlotTag::turnaround, engine::SlotTag::fillBar4, engine::SlotTag::fillBar8,
        engine::SlotTag::fillBar3to4, engine::SlotTag::fillBar7to8})
    phrases.push_back(phraseOf(slot, "test",
                               {phraseNote(0, 30, engine::VoiceTag::melody),
                                phraseNote(1.5, 31, engine::VoiceTag::melody),
                                phraseNote(2, -12, engine::VoiceTag::bass, 1),
                                phraseNote(3, 34, engine::VoiceTag::chordStab, 0.25)},
                               engine::SuspensionFlags::bass));
  return phrases;
}

// Note-ons minus note-offs, per note number.
std::map<int, int> unmatched(const std::vector<TimedMidi>& sent) {
  std::map<int, int> open;
  for (const auto& m : sent)
    open[m.note()] += m.noteOn() ? 1 : (m.noteOff() ? -1 : 0);
  std::erase_if(open, [](const auto& entry) { return entry.second == 0; });
  return open;
}

} // namespace

// A reset (render resources allocated again) starts the form over but does not forget the notes
// still sounding, moving or not.
TEST(Sequencer, StoppingLoopingBackOrAResetEndsEveryNoteAtTheNextBuffersFirstSample) {
  enum class Edge { stop, loop, resetStopped, resetMoving };
  for (const Edge edge : {Edge::stop, Edge::loop, Edge::resetStopped, Edge::resetMoving}) {
    SCOPED_TRACE(static_cast<int>(edge));
    auto kernel = preparedKernel({{P::embroidery, 1}, {P::emotion, 1}}, everySlot());
    ScriptedHost host;
    // In bar 8, a fill or a bass run plays, silencing the bass.
    host.play(*kernel, 7 * host.samplesPerBar() + 30000);
    const auto sounding = unmatched(host.sent);
    ASSERT_FALSE(sounding.empty());
    host.sent.clear();
    host.moving = edge == Edge::loop || edge == Edge::resetMoving;
    if (edge == Edge::loop)
      host.beatOffset = -host.now / 24000.0; // back to beat 0
    if (edge == Edge::resetStopped || edge == Edge::resetMoving)
      kernel->reset();
    const auto t0 = static_cast<std::int64_t>(host.now);
    host.play(*kernel, 64, 64);
    std::size_t offsAtStart = 0;
    while (offsAtStart < host.sent.size() && host.sent[offsAtStart].noteOff())
      EXPECT_EQ(host.sent[offsAtStart++].time, t0);
    EXPECT_EQ(static_cast<int>(offsAtStart),
              std::accumulate(sounding.begin(), sounding.end(), 0,
                              [](int sum, const auto& open) { return sum + open.second; }));
    EXPECT_TRUE(edge == Edge::loop || host.sent.size() == offsAtStart);
    // The phrase is gone with the loop: the bass is back at once.
    EXPECT_EQ(notesOn(host.sent, t0, t0 + 1, 36, 36).size(), edge == Edge::loop ? 1u : 0u);
  }

  // Stopped 8 frames after a chord pulse, before its strum has played: the strummed notes never
  // start, rather than starting after the note-offs of the stop.
  auto kernel = preparedKernel({{P::emotion, 1}});
  ScriptedHost host;
  host.play(*kernel, 2 * host.samplesPerBar());
  host.play(*kernel, 8, 8);
  host.moving = false;
  const auto t0 = static_cast<std::int64_t>(host.now);
  host.play(*kernel, 2048);
  EXPECT_TRUE(notesOn(host.sent, t0, host.now).empty());
  EXPECT_TRUE(unmatched(host.sent).empty());
}

TEST(Sequencer, AStartAnywherePlaysFromItsNextPulseOnTheHostsBeats) {
  // At 48 kHz a quarter is 24000 samples; Easiness 0.5 swings offbeats 16000 past the pulse.
  // Every start lands its pulses on the host's beats and plays none twice at once.
  struct Start {
    double quarter;
    double lead = 0.0; // the host's positions ahead of its beat clock
    bool wholeBeatOnTheBeat = false;
  };
  for (const Start& start : {Start{0.45},
                             {2.2},
                             {3.0},
                             {7.9},
                             {16.0},
                             {16.0, 0.0, true},
                             {16.2},
                             {16.45},
                             {17.3},
                             {19.9},
                             {16.0, 0.5},
                             {17.3, 0.5}}) {
    SCOPED_TRACE(testing::Message() << start.quarter << " lead " << start.lead);
    auto kernel = preparedKernel({{P::emotion, 1}, {P::etiquette, 0}, {P::embroidery, 0}});
    ScriptedHost host;
    host.beatOffset = start.quarter;
    host.positionLead = start.lead;
    host.wholeBeatOnTheBeat = start.wholeBeatOnTheBeat;
    host.play(*kernel, 2 * host.samplesPerBar());
    // Samples from the start to the first whole quarter at or after it.
    const auto toBeat = static_cast<std::int64_t>(
        std::llround(std::ceil(start.quarter) * 24000 - start.quarter * 24000));
    const std::int64_t firstPulse = toBeat == 0 ? engine::TransportFollower::kWarmupFrames : toBeat;
    ASSERT_FALSE(host.sent.empty());
    EXPECT_EQ(host.sent.front().time, firstPulse);
    std::map<int, std::int64_t> lastOn;
    std::set<std::int64_t> pulses;
    for (const TimedMidi& m : host.sent) {
      if (!m.noteOn())
        continue;
      EXPECT_FALSE(lastOn.contains(m.note()) && m.time - lastOn[m.note()] < 2000)
          << m.note() << " at " << m.time;
      lastOn[m.note()] = m.time;
      // A pulse's notes (a strum's follow within 1500 samples), or an offbeat.
      const std::int64_t sinceBeat = ((m.time - toBeat) % 24000 + 24000) % 24000;
      EXPECT_TRUE(sinceBeat < 1500 || sinceBeat == 16000 || m.time < firstPulse + 1500)
          << m.note() << " at " << m.time;
      if (sinceBeat == 0)
        pulses.insert(m.time);
    }
    // None skipped: a note on every beat after the first pulse.
    EXPECT_EQ(static_cast<std::int64_t>(pulses.size()),
              (static_cast<std::int64_t>(host.now) - 1 - toBeat) / 24000 + (toBeat == 0 ? 0 : 1));
  }
}

TEST(Sequencer, JumpsForwardWithinAndAcrossBars) {
  // Within the bar, where nothing falls due, only the position moves: what follows comes half
  // a beat sooner, with the same draws.
  ScriptedHost steady, jumping;
  auto reference = preparedKernel({{P::emotion, 1}});
  auto kernel = preparedKernel({{P::emotion, 1}});
  steady.play(*reference, 2 * steady.samplesPerBar());
  jumping.play(*kernel, 26400); // beat 1.1
  jumping.beatOffset = 0.5;
  jumping.play(*kernel, steady.samplesPerBar());
  std::vector<TimedMidi> expected, ons;
  for (const TimedMidi& m : steady.sent)
    if (m.noteOn() && m.time >= 26400 + 12000 && m.time < 26400 + 12000 + steady.samplesPerBar())
      expected.push_back({m.time - 12000, m.bytes});
  for (const TimedMidi& m : jumping.sent)
    if (m.noteOn() && m.time >= 26400)
      ons.push_back(m);
  EXPECT_EQ(ons, expected);

  // Into bar 4, half-way through beat 3: no bass run or fill starts, the pulses before are
  // skipped, and bar 5 comes one and a half beats later.
  jumping.beatOffset = 14.5 - jumping.now / 24000.0;
  const auto t = static_cast<std::int64_t>(jumping.now);
  jumping.play(*kernel, 48000);
  EXPECT_TRUE(notesOn(jumping.sent, t, t + 12000, 0, 47).empty()); // offbeats only
  EXPECT_EQ(onTimes(jumping.sent, 36).back(), t + 12000);
  EXPECT_EQ(onTimes(jumping.sent, 41).back(), t + 36000); // the IV chord of bar 5
}

TEST(Sequencer, LongPhrasesAreCutAndAFullNoteTableEndsTheNoteClosestToItsEnd) {
  std::vector<engine::PhraseEvent> chord;
  for (int i = 0; i < 60; ++i)
    chord.push_back(phraseNote(0, 30 + i, engine::VoiceTag::melody, 1.0 + i * 0.01));
  // The turnaround always plays, and nothing mutates it.
  auto kernel = preparedKernel({{P::embroidery, 1}, {P::exotica, 0}, {P::emotion, 1}},
                               {phraseOf(engine::SlotTag::turnaround, "wall", chord)});
  ScriptedHost host;
  host.play(*kernel, 12 * host.samplesPerBar());
  host.moving = false;
  host.play(*kernel, 1, 1);

  EXPECT_TRUE(unmatched(host.sent).empty());
  // The first 48 of the phrase's notes, from 66 up, a frame after bar 11's line.
  const std::int64_t at = 10 * host.samplesPerBar() + 1;
  const auto phraseNotes = notesOn(host.sent, 0, host.now, 66);
  EXPECT_EQ(phraseNotes, notesOn(host.sent, at, at + 1, 66));
  ASSERT_EQ(phraseNotes.size(), std::size_t{engine::PhraseQueue::kCapacity});
  EXPECT_EQ(*phraseNotes.rbegin(), 66 + engine::PhraseQueue::kCapacity - 1);
  // 16 tracked: the evictions end notes at the new note's time, just before it.
  std::size_t evictions = 0;
  for (std::size_t i = 0; i + 1 < host.sent.size(); ++i)
    if (host.sent[i].time == at && host.sent[i].noteOff() && host.sent[i + 1].noteOn())
      ++evictions;
  EXPECT_GE(evictions, 32u);
}

// Whatever a host answers or sends, though no host should, the sequencer keeps playing valid
// MIDI; positions far beyond any session once made it loop for ever.
TEST(Sequencer, SurvivesAnyHostValuesAndParameters) {
  const double evil[] = {NAN, INFINITY, -INFINITY, 0.0, -1.0, 1e-300, 1e300, 3.0, 7.0, 1e9};
  std::mt19937 random(7);
  const auto pick = [&] { return evil[random() % std::size(evil)]; };
  auto kernel = preparedKernel({}, everySlot());
  ScriptedHost host;
  for (int call = 0; call < 20000; ++call) {
    host.moving = random() % 64 != 0;
    kernel->setParameter(static_cast<P>(random() % 10), float(pick())); // beyond the eight too
    const double time = random() % 16 ? call * 64.0 : pick();
    auto answer = host.position();
    answer.tempo = random() % 2 ? 120.0 : pick();
    answer.beatsPerBar = random() % 2 ? 4.0 : pick();
    answer.beatUnit = static_cast<long>(random() % 9) - 1;
    answer.beatPosition = random() % 2 ? host.sent.size() * 0.01 : pick();
    answer.samplesToNextBeat = static_cast<long>(random());
    answer.downbeatPosition = pick();
    answer.hasMusicalContext = random() % 4 != 0;
    kernel->render(time, 64, answer, host.midi());
  }
  EXPECT_GT(host.sent.size(), 100u);
  for (const auto& m : host.sent)
    ASSERT_TRUE(m.bytes[1] < 128 && m.bytes[2] < 128);
}
