// Tests of the sequencer as a host drives it: timing, transport edges, jumps, whole runs.
#include "tests/PallixAU/engine/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <random>

using K = Kernel;

namespace {

// Every slot in 4/4, with notes no accompaniment plays (pitch 30 and up: note 66 in C).
std::vector<K::Phrase> everySlot() {
  std::vector<K::Phrase> phrases;
  for (auto slot : {K::SlotTag::turnaround, K::SlotTag::fillBar4, K::SlotTag::fillBar8,
                    K::SlotTag::fillBar3to4, K::SlotTag::fillBar7to8})
    phrases.push_back(
        phraseOf(slot, "test",
                 {phraseNote(0, 30, K::VoiceTag::melody), phraseNote(1.5, 31, K::VoiceTag::melody),
                  phraseNote(2, -12, K::VoiceTag::bass, 1),
                  phraseNote(3, 34, K::VoiceTag::chordStab, 0.25)}));
  return phrases;
}

// Note-ons minus note-offs, per note number.
std::map<int, int> unmatched(const std::vector<SentMessage>& sent) {
  std::map<int, int> open;
  for (const auto& m : sent)
    open[m.bytes[1]] += m.noteOn() ? 1 : (m.noteOff() ? -1 : 0);
  std::erase_if(open, [](const auto& entry) { return entry.second == 0; });
  return open;
}

std::vector<std::int64_t> onTimes(const std::vector<SentMessage>& sent, int note,
                                  bool offs = false) {
  std::vector<std::int64_t> times;
  for (const auto& m : sent)
    if ((offs ? m.noteOff() : m.noteOn()) && m.bytes[1] == note)
      times.push_back(m.time);
  return times;
}

} // namespace

TEST(Sequencer, WarmupThenBassOnEveryBeatWithHalfBeatGates) {
  auto kernel = preparedKernel();
  kernel->embroidery = 0.0f;
  kernel->emotion = 1.0f; // nothing dropped
  kernel->etiquette = 0.0f;
  ScriptedHost host;
  host.play(*kernel, 2 * host.samplesPerBar(), 512);

  // The downbeat's time passed during the 1024 silent frames; it fires right after them.
  const std::vector<std::int64_t> expected = {1024,  24000,  48000,  72000,
                                              96000, 120000, 144000, 168000};
  EXPECT_EQ(onTimes(host.sent, 36), expected);
  ASSERT_FALSE(host.sent.empty());
  EXPECT_EQ(host.sent.front().time, 1024);
  const auto offs = onTimes(host.sent, 36, true);
  ASSERT_EQ(offs.size(), expected.size());
  for (std::size_t i = 0; i < offs.size(); ++i)
    EXPECT_EQ(offs[i] - expected[i], 12000) << i;

  // A host that starts on a downbeat but says the next beat is a whole beat away is taken to
  // report positions half a beat early.
  kernel = preparedKernel();
  kernel->emotion = 1.0f;
  ScriptedHost early;
  early.wholeBeatOnTheBeat = true;
  early.play(*kernel, early.samplesPerBar(), 512);
  EXPECT_EQ(kernel->detectedBeatOffset, 0.5);
  EXPECT_EQ(onTimes(early.sent, 36).front(), 12000);
}

TEST(Sequencer, SameNotesForEveryBlockSizeAndEveryNoteEnds) {
  std::vector<SentMessage> reference;
  for (const std::int64_t block : {512, 256, 17, 1}) {
    auto kernel = preparedKernel();
    useCatalogue(*kernel, everySlot());
    kernel->embroidery = 1.0f;
    kernel->exotica = 0.7f;
    ScriptedHost host;
    host.play(*kernel, 36 * host.samplesPerBar(), block);
    host.moving = false;
    host.play(*kernel, 1, 1);
    EXPECT_TRUE(unmatched(host.sent).empty()) << "block " << block;
    // 256-frame buffers start exactly on every bar line: fills must still play there.
    std::size_t phraseNotes = 0;
    for (const auto& m : host.sent)
      phraseNotes += m.noteOn() && m.bytes[1] >= 65 && m.bytes[1] <= 36 + 34 + 24;
    EXPECT_GT(phraseNotes, 10u) << "block " << block;
    if (reference.empty())
      reference = host.sent;
    else
      EXPECT_EQ(host.sent, reference) << "block " << block;
  }
}

TEST(Sequencer, LoopingBackSilencesEverythingAndRestartsTheFormWithoutFills) {
  auto kernel = preparedKernel();
  useCatalogue(*kernel, everySlot());
  kernel->embroidery = 1.0f;
  ScriptedHost host;
  host.play(*kernel, 7 * host.samplesPerBar() + 30000, 512);
  const auto sounding = unmatched(host.sent);
  ASSERT_FALSE(sounding.empty());
  host.sent.clear();

  host.beatOffset = -(host.now - host.start) / 24000.0; // back to beat 0
  const auto t0 = static_cast<std::int64_t>(host.now);
  host.play(*kernel, 64, 64);
  std::size_t offsAtStart = 0;
  while (offsAtStart < host.sent.size() && host.sent[offsAtStart].noteOff())
    EXPECT_EQ(host.sent[offsAtStart++].time, t0);
  int expectedOffs = 0;
  for (const auto& [note, count] : sounding)
    expectedOffs += count;
  EXPECT_EQ(static_cast<int>(offsAtStart), expectedOffs);
  EXPECT_EQ(kernel->barIndex, 0);
  EXPECT_FALSE(kernel->phraseActive);
}

TEST(Sequencer, JumpsForwardWithinAndAcrossBars) {
  auto kernel = preparedKernel();
  useCatalogue(*kernel, everySlot());
  kernel->embroidery = 1.0f;
  ScriptedHost host;
  host.play(*kernel, 28800, 512); // beat 1.2
  ASSERT_EQ(kernel->pulsesEmittedInBar, 2);

  // Within the bar, where nothing falls due: only the position moves.
  host.beatOffset = 0.5;
  const auto random = kernel->rngState.state;
  host.play(*kernel, 1, 1);
  EXPECT_EQ(kernel->rngState.state, random);
  EXPECT_EQ(kernel->barIndex, 0);
  EXPECT_EQ(kernel->pulsesEmittedInBar, 2);

  // Into bar 4, half-way through beat 3: no bass run or fill, the pulses before are skipped.
  host.beatOffset = 14.5 - (host.now - host.start) / 24000.0;
  host.play(*kernel, 1, 1);
  EXPECT_EQ(kernel->barIndex, 3);
  EXPECT_DOUBLE_EQ(kernel->barStartQuarter, 12.0);
  EXPECT_EQ(kernel->pulsesEmittedInBar, 3);
  EXPECT_FALSE(kernel->phraseActive);
}

TEST(Sequencer, StoppingEndsEveryNoteAtTheBuffersFirstSample) {
  auto kernel = preparedKernel();
  ScriptedHost host;
  host.play(*kernel, 30000, 500);
  const auto sounding = unmatched(host.sent);
  ASSERT_FALSE(sounding.empty());
  host.sent.clear();
  host.moving = false;
  host.play(*kernel, 5000, 500);
  EXPECT_TRUE(unmatched(host.sent).size() == sounding.size());
  for (const auto& m : host.sent) {
    EXPECT_TRUE(m.noteOff());
    EXPECT_EQ(m.time, 30000);
  }
  EXPECT_EQ(kernel->activeNoteCount, 0);
}

TEST(Sequencer, ParameterEventsTakeEffectAtTheBufferStart) {
  auto kernel = preparedKernel();
  ScriptedHost host;
  AURenderEvent ramp{};
  ramp.parameter = {nullptr, 300, AURenderEventParameterRamp, {}, 512, 0, 1.0f};
  AURenderEvent root{};
  root.parameter = {&ramp, 10, AURenderEventParameter, {}, 0, 4, 7.9f};
  host.play(*kernel, 512, 512, &root);
  EXPECT_EQ(kernel->embroidery.load(), 1.0f);
  EXPECT_EQ(kernel->rootNote.load(), 7);
}

TEST(Sequencer, WithoutHostCallbacksPlaysAtOnceOnItsOwnClock) {
  auto kernel = preparedKernel();
  kernel->emotion = 1.0f;
  kernel->hostPlaying = kernel->wasPlaying = true; // as allocation leaves a host without transport
  std::vector<SentMessage> sent;
  ContextHolder context;
  captureMIDI(context, sent);
  for (int call = 0; call < 100; ++call)
    kernel->render(AudioTimeStamp::withSampleTime(call * 480.0), 480, nullptr, nullptr, context);
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front().time, 0);
  EXPECT_EQ(onTimes(sent, 36)[1], 24000);
}

TEST(Sequencer, LongPhrasesAreCutAndAFullNoteTableEndsTheNoteClosestToItsEnd) {
  std::vector<K::PhraseEvent> chord;
  for (int i = 0; i < 60; ++i)
    chord.push_back(phraseNote(0, 24 + i, K::VoiceTag::melody, 1.0 + i * 0.01));
  K::Phrase phrase = phraseOf(K::SlotTag::fillBar4, "wall", chord);
  phrase.disableMutations = {K::MutationKind::drop, K::MutationKind::octaveShift,
                             K::MutationKind::graceNote};
  auto kernel = preparedKernel();
  ScriptedHost host;
  host.play(*kernel, 2048, 512); // past the warm-up
  kernel->startPhrase(phrase, 4.0);
  EXPECT_EQ(kernel->phraseEventCount, K::kPhraseEventCapacity);
  host.play(*kernel, 2 * host.samplesPerBar(), 512);
  host.moving = false;
  host.play(*kernel, 1, 1);

  EXPECT_TRUE(unmatched(host.sent).empty());
  int sounding = 0;
  for (std::size_t i = 0; i < host.sent.size(); ++i) {
    sounding += host.sent[i].noteOn() ? 1 : -1;
    EXPECT_LE(sounding, K::kActiveNoteCapacity);
  }
  // 48 phrase notes, 16 tracked: the evictions end notes at the new note's time, just before it.
  const auto at = static_cast<std::int64_t>(host.samplesPerBar());
  std::size_t evictions = 0;
  for (std::size_t i = 0; i + 1 < host.sent.size(); ++i)
    if (host.sent[i].time == at && host.sent[i].noteOff() && host.sent[i + 1].noteOn())
      ++evictions;
  EXPECT_GE(evictions, 32u);
}

TEST(Sequencer, SurvivesAnyHostValuesAndParameters) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> evil = {nan, inf, -inf, 0.0, -1.0, 1e-300, 1e300, 3.0, 7.0, 1e9};
  auto kernel = preparedKernel();
  useCatalogue(*kernel, everySlot());
  std::vector<SentMessage> sent;
  sent.reserve(1 << 20);
  std::mt19937 random(7);
  const auto pick = [&] { return evil[random() % evil.size()]; };
  ContextHolder context;
  captureMIDI(context, sent);
  context.musicalContext = [&](double* t, double* n, long* d, double* beat, long* next,
                               double* down) {
    *t = random() % 2 ? 120.0 : pick();
    *n = random() % 2 ? 4.0 : pick();
    *d = static_cast<long>(random() % 9) - 1;
    *beat = random() % 2 ? sent.size() * 0.01 : pick();
    *next = static_cast<long>(random());
    *down = pick();
    return random() % 4 != 0;
  };
  context.transportState = [&](AUHostTransportStateFlags* flags, double*, double*, double*) {
    *flags = random() % 64 ? AUHostTransportStateMoving : 0;
    return true;
  };
  for (int call = 0; call < 20000; ++call) {
    AURenderEvent event{};
    event.parameter = {nullptr,
                       0,
                       AURenderEventParameter,
                       {},
                       0,
                       static_cast<AUParameterAddress>(random() % 10),
                       static_cast<AUValue>(pick())};
    const double time = random() % 16 ? call * 64.0 : pick();
    kernel->render(AudioTimeStamp::withSampleTime(time), 64, nullptr, &event, context);
  }
  EXPECT_GT(sent.size(), 100u);
  for (const auto& m : sent)
    ASSERT_TRUE(m.bytes[1] < 128 && m.bytes[2] < 128);
}
