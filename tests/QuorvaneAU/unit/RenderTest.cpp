// The synthesiser unit's parameter table, its render block and how it decodes events.
#include "UnitTestSupport.h"
#include "tests/support/ParameterListing.h"

#include <tuple>

using P = quorvane::dsp::QuorvaneParameter;

TEST(Parameters, AFreshUnitReportsTheTableAndInitialValues) {
  auto unit = makeSynth();
  EXPECT_EQ(values(*unit), kInitialValues);
  for (const auto& parameter : unit->parameterTree()->allParameters())
    EXPECT_EQ(unit->defaultParameterValues().at(parameter->identifier()), parameter->value());
  // Every attribute and display string as hosts see them, and the editor's tapers, as recorded.
  EXPECT_EQ(parameterListing(*unit->parameterTree(), quorvane::dsp::kQuorvaneParameters),
            fileText(ORRINBROOK_SOURCE_DIR "/tests/data/parameters/quorvane.txt"));
  EXPECT_EQ(unit->channelCapabilities(), (std::vector<int>{0, 2}));
}

// A unit, its render calls and the events for the next one.
struct Player {
  std::shared_ptr<quorvane::unit::QuorvaneAudioUnit> unit = makeSynth();
  HostRig render{*unit};
  RenderEventList events{16};
  std::vector<float> heard; // the left channel of every call so far

  Player& midi(std::initializer_list<std::uint8_t> bytes, AUEventSampleTime offset = 0) {
    events.addMIDI(render.time + offset, 0, std::data(bytes), int(bytes.size()));
    return *this;
  }
  Player& set(P p, AUValue value) {
    unit->parameterTree()->parameterWithAddress(address(p))->setValue(value);
    return *this;
  }
  // One call with the events given since the last.
  void play(AUAudioFrameCount frames = 256) {
    EXPECT_EQ(render(frames, events.head()), noErr);
    events.clear();
    heard.insert(heard.end(), render.left.begin(), render.left.begin() + frames);
  }
};

class RenderBlock : public ::testing::Test {
protected:
  Player synth;
  // Drift and Space are 0: nothing random sounds, so two units given events to the same effect
  // render the same samples.
  Player twin;
};

// One call split at its events' frames renders as calls of those lengths would, each given its
// events first: a note at frame k starts there from silence. Events stamped before the call
// apply at its first frame, those past its end at its last; ramps jump to their end; events
// that are not plain MIDI, and parameters that do not exist, are ignored.
TEST_F(RenderBlock, EventsTakeEffectAtTheirOwnFrames) {
  synth.events.addParameterRamp(synth.render.time - 5, address(P::frequency), 0.25f, 1000);
  synth.midi({0xE0, 0x00, 0x60}, 100).midi({0x9C, 69, 127}, 100);
  synth.events.addParameter(synth.render.time + 180, address(P::frequency), 0.5f);
  synth.events.addParameter(synth.render.time + 180, quorvane::dsp::kQuorvaneParameterCount, 9);
  const std::uint8_t sysEx[5] = {0xF0, 0x90, 60, 100, 0xF7}; // note-on bytes inside
  const std::uint32_t packet[1] = {0x20903C64};              // a MIDI 1.0 note-on as a packet word
  synth.events.addSysEx(synth.render.time + 180, 0, sysEx, 5);
  synth.events.addMIDIEventList(synth.render.time + 180, 0, packet, 1);
  synth.midi({0x90, 76, 100}, 1000);
  synth.play(256);
  EXPECT_EQ(peak(synth.heard.data(), 100), 0.0f);
  EXPECT_GT(peak(synth.heard.data() + 100, 2), 0.0f);

  twin.events.addParameter(twin.render.time, address(P::frequency), 0.25f);
  twin.play(100);
  twin.midi({0xE0, 0x00, 0x60}).midi({0x9C, 69, 127}).play(80);
  twin.events.addParameter(twin.render.time, address(P::frequency), 0.5f);
  twin.play(75);
  twin.midi({0x90, 76, 100}).play(1);
  synth.play(64), twin.play(64); // a note on a call's last frame is silent there
  EXPECT_EQ(synth.heard, twin.heard);
  std::vector<AUValue> expected = kInitialValues;
  expected[address(P::frequency)] = 0.5f; // the tree reads the engine: render-time changes show
  EXPECT_EQ(values(*synth.unit), expected);
}

// On any channel. The pedal (down from 64) keeps released notes sounding as held ones, and
// lifting it releases them as their note-offs would; keys still down stay. Other controllers
// change nothing.
TEST_F(RenderBlock, SustainPedalHoldsReleasedNotesUntilItLifts) {
  synth.midi({0x90, 60, 100}).midi({0x90, 64, 100}).midi({0x90, 67, 100});
  synth.midi({0xB5, 64, 64}, 10).midi({0x80, 60, 0}, 20).midi({0x93, 64, 0}, 30);
  synth.midi({0xB0, 2, 127}, 40).midi({0xB0, 7, 0}, 40).midi({0xB0, 122, 0}, 40);
  twin.midi({0x90, 60, 100}).midi({0x90, 64, 100}).midi({0x90, 67, 100});
  synth.play(), twin.play();
  synth.play(), twin.play();
  synth.midi({0xB2, 64, 63}, 50);
  twin.midi({0x80, 60, 0}, 50).midi({0x80, 64, 0}, 50);
  synth.play(), twin.play();
  synth.play(512), twin.play(512);
  EXPECT_EQ(synth.heard, twin.heard);
}

// The mod wheel takes Motion the rest of the way to 1: wheel w on Motion m sounds as Motion
// m + (1 - m) w, and reset all controllers (121) puts it back to 0.
TEST_F(RenderBlock, TheModWheelAddsToMotion) {
  for (const auto& [motion, wheel] : {std::pair{0.0f, 127}, {0.5f, 64}, {1.0f, 30}}) {
    SCOPED_TRACE(motion);
    Player wheeled, knob;
    const float w = static_cast<float>(wheel) / 127.0f;
    wheeled.set(P::motion, motion).set(P::rate, 20).midi({0xB3, 1, std::uint8_t(wheel)});
    knob.set(P::motion, motion + (1.0f - motion) * w).set(P::rate, 20);
    for (Player* p : {&wheeled, &knob}) {
      p->midi({0x90, 57, 100});
      for (int call = 0; call < 4; ++call)
        p->play(512);
    }
    EXPECT_EQ(wheeled.heard, knob.heard);
    wheeled.midi({0xB0, 121, 0});
    knob.set(P::motion, motion);
    for (int call = 0; call < 4; ++call)
      wheeled.play(512), knob.play(512);
    EXPECT_EQ(std::vector<float>(wheeled.heard.end() - 1024, wheeled.heard.end()),
              std::vector<float>(knob.heard.end() - 1024, knob.heard.end()));
  }
}

// Expression scales the voices' level, glided (no step at a change), and 121 brings it back.
TEST_F(RenderBlock, ExpressionScalesTheVoicesAndResetBringsThemBack) {
  synth.midi({0x90, 60, 100}), twin.midi({0x90, 60, 100});
  for (int call = 0; call < 8; ++call)
    synth.play(512), twin.play(512);
  synth.midi({0xB7, 11, 64});
  for (int call = 0; call < 40; ++call)
    synth.play(512), twin.play(512);
  const auto rms = [](const std::vector<float>& heard) {
    double sum = 0;
    for (auto it = heard.end() - 4096; it != heard.end(); ++it)
      sum += double(*it) * *it;
    return std::sqrt(sum / 4096);
  };
  EXPECT_NEAR(rms(synth.heard) / rms(twin.heard), 64.0 / 127.0, 1e-4);
  // The gain, sample by sample where the sound is loud enough to tell: a glide, not steps.
  const auto from = twin.heard.begin() + 4096, to = from + 2048;
  const float loud = 0.3f * std::abs(*std::max_element(from, to, [](float a, float b) {
                       return std::abs(a) < std::abs(b);
                     }));
  float largestStep = 0, lastGain = 1;
  for (std::size_t i = 4096; i < 4096 + 2048; ++i)
    if (std::abs(twin.heard[i]) > loud) {
      const float gain = synth.heard[i] / twin.heard[i];
      largestStep = std::max(largestStep, std::abs(gain - lastGain));
      lastGain = gain;
    }
  EXPECT_LT(largestStep, 0.01f);
  synth.midi({0xB7, 121, 0});
  for (int call = 0; call < 80; ++call)
    synth.play(512), twin.play(512);
  EXPECT_NEAR(rms(synth.heard) / rms(twin.heard), 1.0, 1e-6);
}

// All notes off (123) and the mode messages release every held note as its note-off would,
// except that a pedal which is down keeps them sounding.
TEST_F(RenderBlock, AllNotesOffReleasesHeldNotesUnlessThePedalIsDown) {
  synth.midi({0x90, 60, 100}).midi({0x90, 64, 100}).midi({0xB3, 123, 0}, 50);
  twin.midi({0x90, 60, 100}).midi({0x90, 64, 100}).midi({0x80, 60, 0}, 50).midi({0x80, 64, 0}, 50);
  synth.play(), twin.play();
  synth.midi({0x90, 67, 100}).midi({0xB0, 64, 127}).midi({0xB0, 127, 0}, 100);
  twin.midi({0x90, 67, 100});
  synth.play(), twin.play();
  synth.midi({0xB0, 64, 0}, 20);
  twin.midi({0x80, 67, 0}, 20);
  synth.play(512), twin.play(512);
  EXPECT_EQ(synth.heard, twin.heard);
}

// All sound off (120) silences every voice from its own frame on, without release; the delay
// keeps its echoes of what sounded before.
TEST_F(RenderBlock, AllSoundOffSilencesAtOnceAndLeavesTheEchoes) {
  twin.set(P::echo, 0.5f).set(P::echoTime, 0.25f); // 11025 frames, where the delay starts
  for (Player* p : {&synth, &twin}) {
    p->midi({0x90, 60, 127}).midi({0x90, 67, 127}).play();
    p->midi({0xB9, 120, 0}, 100).play();
    while (p->heard.size() < 11520)
      p->play(512);
    EXPECT_GT(peak(p->heard.data() + 256, 100), 0.0f);
  }
  EXPECT_EQ(peak(synth.heard.data() + 356, 11520 - 356), 0.0f);
  EXPECT_EQ(peak(twin.heard.data() + 356, 11000 - 356), 0.0f);
  EXPECT_GT(peak(twin.heard.data() + 11100, 200), 1e-3f);
}

// Reset all controllers (121) lifts the pedal, releasing what it held, centres the bend and
// sends channel and key pressure back to 0, as those messages would.
TEST_F(RenderBlock, ResetAllControllersLiftsThePedalCentresBendAndClearsPressure) {
  for (Player* p : {&synth, &twin}) {
    p->set(P::aftertouchDepth, 1.0f).set(P::frequency, 0.3f);
    p->midi({0x90, 69, 100}).midi({0xE0, 0x00, 0x70}).midi({0xD0, 100}).midi({0xA0, 69, 100});
    p->play();
  }
  synth.midi({0xB1, 64, 127}).midi({0x80, 69, 0}, 50).midi({0xB1, 121, 0}, 100);
  // An ignored controller splits the twin's call where the note-off splits the other's: the
  // pressure glides in steps of the pieces' lengths.
  twin.midi({0xB0, 1, 0}, 50)
      .midi({0xE0, 0x00, 0x40}, 100)
      .midi({0xD0, 0}, 100)
      .midi({0xA0, 69, 0}, 100);
  twin.midi({0x80, 69, 0}, 100);
  synth.play(512), twin.play(512);
  synth.play(512), twin.play(512);
  EXPECT_EQ(synth.heard, twin.heard);
}

// The engine counts on it, so the whole call, observers included, runs with denormals flushed.
TEST_F(RenderBlock, RendersWithDenormalsFlushedAndRestoresTheModeAfter) {
  volatile float tiny = 1e-30f;
  bool flushed = false;
  synth.unit->tokenByAddingRenderObserver([&](AudioUnitRenderActionFlags, const AudioTimeStamp*,
                                              AUAudioFrameCount,
                                              long) { flushed = tiny * 1e-10f == 0; });
  synth.play();
  EXPECT_TRUE(flushed);
  EXPECT_GT(tiny * 1e-10f, 0.0f);
}

// One buffer is silenced, and not an error; buffers without memory get the unit's own; a reset
// drops held notes, so the next buffer is silent.
TEST_F(RenderBlock, HostBuffersOfEveryShapeAndReset) {
  synth.midi({0x90, 60, 127}).midi({0x90, 67, 100}).play();
  HostRig& render = synth.render;
  std::fill(render.left.begin(), render.left.end(), 1.0f);
  EXPECT_EQ(render(256, nullptr, 1), noErr);
  EXPECT_EQ(peak(render.left.data(), 256), 0.0f);
  AudioBufferList list;
  list.mNumberBuffers = 2;
  ASSERT_EQ(render.into(list, 256), noErr);
  ASSERT_TRUE(list.channel(0) && list.channel(1));
  EXPECT_NE(list.channel(0), list.channel(1));
  EXPECT_GE(list.mBuffers[0].mDataByteSize, 256 * sizeof(float));
  EXPECT_GT(peak(list.channel(0), 256), 0.0f);
  EXPECT_GT(peak(list.channel(1), 256), 0.0f);
  synth.unit->reset();
  EXPECT_EQ(render(512), noErr);
  EXPECT_EQ(peak(render.left.data(), 512), 0.0f);
  EXPECT_EQ(peak(render.right.data(), 512), 0.0f);
}

// Whichever way a value arrives, the engine keeps it within the parameter's range and ignores a
// non-finite one; the tree reads what the engine holds. (Saved state: see the preset tests.)
TEST_F(RenderBlock, EveryPathKeepsValuesInRangeAndIgnoresNonFinite) {
  synth.set(P::drive, NAN).set(P::frequency, 50.0f);
  synth.events.addParameter(synth.render.time, address(P::attack), INFINITY);
  synth.events.addParameterRamp(synth.render.time, address(P::sustain), NAN, 100);
  synth.events.addParameter(synth.render.time + 10, address(P::boost), -1.0f);
  synth.events.addParameterRamp(synth.render.time + 20, address(P::rate), 1e30f, 100);
  synth.play(64);
  std::vector<AUValue> expected = kInitialValues;
  expected[address(P::rate)] = 20.0f;
  EXPECT_EQ(values(*synth.unit), expected);
}
