// The demo driver: the host answers it gives the generator, the latch, Stop, and rendering the
// generator across synthesiser cycles of any length.
#include "app/host/DemoHostAnswers.h"
#include "tests/app/DemoRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Answers {
  double tempo = 0, numerator = 0, beat = -1, downbeat = -1, position = 0;
  long denominator = 0, toNextBeat = 0;
  AUHostTransportStateFlags flags = 99;
};

Answers ask(const app::DemoState& state) {
  Answers a;
  EXPECT_TRUE(app::answerMusicalContext(state, &a.tempo, &a.numerator, &a.denominator, &a.beat,
                                        &a.toNextBeat, &a.downbeat));
  double cycleStart = -1, cycleEnd = -1;
  EXPECT_TRUE(app::answerTransportState(state, &a.flags, &a.position, &cycleStart, &cycleEnd));
  EXPECT_EQ(cycleStart, 0.0);
  EXPECT_EQ(cycleEnd, 0.0);
  return a;
}

// The arithmetic is the shared timeline's; what is the demo's own is where beats count from.
TEST(HostAnswers, BeatZeroUntilTheLatchThenBeatsFromItAtTheCurrentTempo) {
  app::DemoState state(44100.0);
  state.currentSampleTime = 1033075.0;
  for (bool playing : {false, true}) { // playing, but before the first render latched
    state.isPlaying = playing;
    const Answers a = ask(state);
    EXPECT_EQ(a.numerator, 4.0);
    EXPECT_EQ(a.denominator, 4);
    EXPECT_EQ(a.beat, 0.0);
    EXPECT_EQ(a.toNextBeat, 22050);
    EXPECT_EQ(a.flags, playing ? AUHostTransportStateMoving : 0u);
  }
  state.transportStartSample = 1000000.0;
  state.tempo = 60.0;
  const Answers a = ask(state);
  EXPECT_EQ(a.tempo, 60.0);
  EXPECT_DOUBLE_EQ(a.beat, 0.75);
  EXPECT_EQ(a.toNextBeat, 11025);
  EXPECT_EQ(a.position, 33075.0);
}

TEST(PallixDriver, PlayLatchesAtTheNextRenderAndStopSendsAllNotesOffOnEveryChannel) {
  DemoRig rig(512, 1000000.0);
  rig.load();
  rig.render(0.5);
  EXPECT_EQ(rig.state().transportStartSample, -1.0);
  EXPECT_TRUE(rig.midi().empty()) << "nothing plays while stopped";

  rig.controller->togglePlay();
  const double playAt = rig.output->sampleTime();
  rig.output->render(512);
  EXPECT_EQ(rig.state().transportStartSample, playAt);
  EXPECT_EQ(ask(rig.state()).beat, 0.0) << "the first cycle after Play is beat 0";
  rig.render(4.0);
  const std::size_t played = rig.midi().size();
  EXPECT_GT(noteOns(rig.midi()).size(), 8u);

  rig.controller->togglePlay();
  EXPECT_EQ(rig.state().transportStartSample, -1.0);
  rig.render(0.5);
  const auto all = rig.midi();
  const std::vector<TimedMidi> afterStop(all.begin() + std::ptrdiff_t(played), all.end());
  std::vector<TimedMidi> controllers;
  for (const TimedMidi& m : afterStop)
    if ((m.bytes[0] & 0xF0) == 0xB0)
      controllers.push_back(m);
  ASSERT_EQ(controllers.size(), 16u);
  for (int channel = 0; channel < 16; ++channel)
    EXPECT_EQ(controllers[std::size_t(channel)],
              (TimedMidi{controllers[0].time, {std::uint8_t(0xB0 + channel), 123, 0}}));
  // The generator ends what it still held, and nothing sounds afterwards.
  int sounding = 0;
  for (const TimedMidi& m : all)
    sounding += (m.bytes[0] & 0xF0) == 0x90 ? 1 : (m.bytes[0] & 0xF0) == 0x80 ? -1 : 0;
  EXPECT_EQ(sounding, 0);
  EXPECT_TRUE(noteOns(afterStop).empty());

  // Playing again counts beats from the new start.
  rig.controller->togglePlay();
  const double replayAt = rig.output->sampleTime();
  rig.output->render(512);
  EXPECT_EQ(rig.state().transportStartSample, replayAt);
}

// The generator renders at most 512 frames a call; longer cycles are rendered in slices with
// their own time stamps, so every cycle length plays the same notes at the same times.
TEST(PallixDriver, CyclesOfAnyLengthPlayTheSameNotes) {
  const auto play = [](AUAudioFrameCount cycle) {
    DemoRig rig(cycle);
    rig.probe->recordCalls = false;
    rig.load();
    rig.controller->togglePlay();
    rig.render(12.0);
    EXPECT_EQ(rig.controller->pallixDriver()->maxFrames(), 512u);
    return noteOns(rig.midi());
  };
  const auto reference = play(512);
  ASSERT_GT(reference.size(), 40u);
  for (AUAudioFrameCount cycle : {1024u, 4096u})
    EXPECT_EQ(play(cycle), reference) << cycle;
  // Smaller calls place notes by their own time stamps: the same notes, within a frame.
  const auto small = play(64);
  ASSERT_EQ(small.size(), reference.size());
  for (std::size_t i = 0; i < small.size(); ++i) {
    EXPECT_EQ(small[i].bytes[1], reference[i].bytes[1]) << i;
    EXPECT_NEAR(double(small[i].time), double(reference[i].time), 1.0) << i;
  }
}

} // namespace
