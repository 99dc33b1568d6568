// Tests of quorvane-render run as a user runs it: arguments, errors, file safety, timing, seeds.
#include "ToolProcess.h"
#include "ToolTestFiles.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTicksPerQuarter = 480; // at the default 120 bpm a tick is 1/960 s

float peak(const std::vector<float>& samples, std::size_t from, std::size_t to) {
  float p = 0.0f;
  for (std::size_t i = from; i < to && i < samples.size(); ++i)
    p = std::max(p, std::abs(samples[i]));
  return p;
}

juce::MidiMessageSequence note(int pitch, double onTick, double offTick) {
  juce::MidiMessageSequence track;
  track.addEvent(juce::MidiMessage::noteOn(1, pitch, static_cast<juce::uint8>(100)), onTick);
  track.addEvent(juce::MidiMessage::noteOff(1, pitch), offTick);
  return track;
}

class QuorvaneRenderTest : public ::testing::Test {
protected:
  void SetUp() override { writeMidiFile(input, {note(60, 0, 480)}); }

  ToolResult render(std::vector<std::string> arguments) {
    return runTool(QUORVANE_RENDER_PATH, arguments);
  }

  TemporaryFolder folder;
  const std::string input = folder.path("in.mid");
  const std::string output = folder.path("out.wav");
};

void expectOneLineError(const ToolResult& result) {
  EXPECT_EQ(result.status, 2);
  EXPECT_TRUE(result.out.empty()) << result.out;
  ASSERT_FALSE(result.err.empty());
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_EQ(result.err.back(), '\n');
  EXPECT_EQ(result.err.rfind("quorvane-render: ", 0), 0u) << result.err;
}

TEST_F(QuorvaneRenderTest, BadArgumentsAndInputsGiveOneLineStatusTwoAndNoFile) {
  const std::string garbage = folder.path("garbage.mid");
  writeBytes(garbage, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 1, 0xE0, 'M', 'T', 'r', 'k'});
  const std::string notMidi = folder.path("notes.txt");
  writeBytes(notMidi, {'h', 'e', 'l', 'l', 'o'});

  const std::vector<std::vector<std::string>> cases = {
      {},
      {input},
      {input, output, "extra"},
      {"--volume", "3", input, output},
      {"--sample-rate", "7999", input, output},
      {"--sample-rate", "384001", input, output},
      {"--sample-rate", "44.1k", input, output},
      {"--block-size", "0", input, output},
      {"--block-size", "16385", input, output},
      {"--block-size", "2.5", input, output},
      {"--seconds", "-1", input, output},
      {"--seconds", "nan", input, output},
      {"--seconds", "inf", input, output},
      {"--seconds", "3s", input, output},
      {"--seconds"},
      {"--set", "loudness=1", input, output},
      {"--set", "shape=half", input, output},
      {"--set", "shape", input, output},
      {"--set=space=nan", input, output},
      {"--seed", "-1", input, output},
      {"--seed", "x", input, output},
      {"--preset", "1", input, output},
      {"--state", folder.path("state.plist"), input, output},
      {"--print-state"},
      {folder.path("missing.mid"), output},
      {folder.path(""), output},
      {garbage, output},
      {notMidi, output},
      {input, folder.path("no-such-folder/out.wav")},
      {input, folder.path("")},
  };
  for (const auto& arguments : cases) {
    std::string line;
    for (const auto& a : arguments)
      line += a + " ";
    SCOPED_TRACE(line);
    expectOneLineError(render(arguments));
    EXPECT_FALSE(juce::File(output).exists());
  }
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"garbage.mid", "in.mid", "notes.txt"}));
}

TEST_F(QuorvaneRenderTest, FailedRenderLeavesExistingOutputAsItWas) {
  writeBytes(output, {'k', 'e', 'e', 'p'});
  expectOneLineError(render({"--set", "nosuch=1", input, output}));
  writeBytes(input, {'M', 'T', 'h', 'd'});
  expectOneLineError(render({input, output}));
  EXPECT_EQ(readText(output), "keep");
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.mid", "out.wav"}));
}

TEST_F(QuorvaneRenderTest, SecondsGiveExactlyRoundedFrameCountOfStereoFloat) {
  struct Case {
    std::string seconds;
    int sampleRate;
    std::string blockSize;
    std::size_t frames;
  };
  // 0.01235 s × 44100 = 544.6: rounded, not truncated. 0.25 s × 8000 ends on a block boundary.
  for (const Case& c : {Case{"0.01235", 44100, "512", 545}, Case{"0.25", 8000, "100", 2000},
                        Case{"0", 8000, "64", 0}}) {
    SCOPED_TRACE(c.seconds);
    const auto result =
        render({"--seconds", c.seconds, "--sample-rate", std::to_string(c.sampleRate),
                "--block-size", c.blockSize, input, output});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.err.empty()) << result.err;
    const WavContents wav = readWavFile(output);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.bitsPerSample, 32);
    EXPECT_TRUE(wav.floatingPoint);
    EXPECT_EQ(wav.sampleRate, c.sampleRate);
    EXPECT_EQ(wav.left.size(), c.frames);
  }
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.mid", "out.wav"}));
}

TEST_F(QuorvaneRenderTest, DefaultLengthIsLastEventThroughTheTempoMapPlusThreeSeconds) {
  // 120 bpm for the first beat, then 60 bpm: the note-off at tick 960 comes at 0.5 + 1.0 s.
  // A text event later still is meta data, not a MIDI event, and does not count.
  juce::MidiMessageSequence conductor;
  conductor.addEvent(juce::MidiMessage::tempoMetaEvent(500000), 0);
  conductor.addEvent(juce::MidiMessage::tempoMetaEvent(1000000), kTicksPerQuarter);
  conductor.addEvent(juce::MidiMessage::textMetaEvent(1, "late remark"), 20 * kTicksPerQuarter);
  writeMidiFile(input, {conductor, note(64, 0, 2 * kTicksPerQuarter)});

  const auto result = render({"--sample-rate", "8000", input, output});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(readWavFile(output).left.size(), 36000u); // 4.5 s
}

TEST_F(QuorvaneRenderTest, SameSeedRepeatsByteForByteAndOtherSeedsDiffer) {
  const auto renderWithSeed = [&](const std::string& seed, const std::string& name) {
    const auto result = render({"--seed", seed, "--set", "space=0.5", "--seconds", "1",
                                "--sample-rate", "8000", input, folder.path(name)});
    EXPECT_EQ(result.status, 0) << result.err;
    return readText(folder.path(name));
  };
  const std::string first = renderWithSeed("7", "a.wav");
  EXPECT_EQ(renderWithSeed("7", "b.wav"), first);
  EXPECT_NE(renderWithSeed("8", "c.wav"), first);
}

TEST_F(QuorvaneRenderTest, EventTakesEffectAtTheStartOfTheBlockThatContainsIt) {
  // The note-on at 0.125 s is sample 1000 at 8 kHz, inside the block [768, 1024) of 256 frames.
  // It sits in the second track, behind a later note in the first: tracks merge by time.
  writeMidiFile(input, {note(60, 360, 480), note(69, 120, 960)});
  const auto result = render({"--sample-rate", "8000", "--block-size", "256", "--seconds", "0.5",
                              "--set", "attack=0.001", input, output});
  ASSERT_EQ(result.status, 0) << result.err;
  const WavContents wav = readWavFile(output);
  ASSERT_EQ(wav.left.size(), 4000u);
  EXPECT_EQ(peak(wav.left, 0, 768), 0.0f);
  EXPECT_EQ(peak(wav.right, 0, 768), 0.0f);
  EXPECT_GT(peak(wav.left, 768, 800), 1e-3f);
  EXPECT_GT(peak(wav.right, 768, 800), 1e-3f);
}

TEST(QuorvaneRenderDemo, DemoPhraseRendersFiniteAndAudible) {
  TemporaryFolder folder;
  const auto result = runTool(QUORVANE_RENDER_PATH, {"--sample-rate", "22050", "--seed", "1",
                                                     DEMO_PHRASE_PATH, folder.path("demo.wav")});
  ASSERT_EQ(result.status, 0) << result.err;
  const WavContents wav = readWavFile(folder.path("demo.wav"));
  ASSERT_GT(wav.left.size(), 22050u * 10);
  for (const auto* channel : {&wav.left, &wav.right}) {
    EXPECT_TRUE(
        std::all_of(channel->begin(), channel->end(), [](float x) { return std::isfinite(x); }));
    const float p = peak(*channel, 0, channel->size());
    EXPECT_GT(p, 0.01f);
    EXPECT_LE(p, 1.0f);
  }
}

} // namespace
