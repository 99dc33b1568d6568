// Tests of quorvane-render run as a user runs it: arguments, errors, file safety, timing, seeds.
#include "platform/foundation/PropertyList.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <tuple>

using namespace std::string_literals;

namespace {

juce::MidiMessageSequence note(int pitch, double onTick, double offTick) {
  juce::MidiMessageSequence track;
  track.addEvent(juce::MidiMessage::noteOn(1, pitch, juce::uint8(100)), onTick);
  track.addEvent(juce::MidiMessage::noteOff(1, pitch), offTick);
  return track;
}

class QuorvaneRenderTest : public ::testing::Test, protected ToolTestFolder {
protected:
  QuorvaneRenderTest() : ToolTestFolder("quorvane-render-test") {}
  void SetUp() override { writeMidiFile(input, {note(60, 0, 480)}); }

  ToolResult run(const std::vector<std::string>& arguments) const {
    return runTool(QUORVANE_RENDER_PATH, arguments);
  }

  // A type-1 file, 480 ticks a quarter note, timestamps in ticks.
  static void writeMidiFile(const std::string& path,
                            const std::vector<juce::MidiMessageSequence>& tracks) {
    juce::MidiFile file;
    file.setTicksPerQuarterNote(480);
    for (const auto& track : tracks)
      file.addTrack(track);
    juce::File(path).deleteFile(); // a FileOutputStream appends to what is there
    juce::FileOutputStream stream{juce::File(path)};
    if (!stream.openedOk() || !file.writeTo(stream, 1))
      throw std::runtime_error("cannot write " + path);
  }

  // Renders, expecting success with nothing on standard error, and reads the output (the last
  // argument) back, its format described in *format.
  juce::AudioBuffer<float> render(const std::vector<std::string>& arguments,
                                  std::string* format = nullptr) const {
    const ToolResult r = run(arguments);
    EXPECT_TRUE(r.status == 0 && r.err.empty()) << r.status << ": " << r.err;
    Wav wav = readWav(arguments.back());
    if (format)
      *format = wav.format;
    return wav.audio;
  }

  const std::string input = path("in.mid"), output = path("out.wav");
};

// Each case runs with no output file (none may appear) and over one (it stays as it was).
TEST_F(QuorvaneRenderTest, BadArgumentsAndInputsGiveOneLineStatusTwoAndTouchNoFile) {
  std::ofstream(path("garbage.mid")) << "MThd\0\0\0\6\0\1\0\2\1\xE0MTrk"s; // a cut-off track
  std::ofstream(path("notes.txt")) << "hello";
  std::ofstream(path("list.plist"))
      << foundation::PropertyList(foundation::PropertyList::Array{}).toXML();
  // Another unit's state, and ours with one value of the wrong type.
  std::ofstream(path("other.plist"))
      << "<plist><dict><key>pallixParams</key><dict/></dict></plist>";
  std::ofstream(path("typed.plist"))
      << "<plist><dict><key>quorvaneParams</key><dict><key>space</key><string>0.5</string>"
         "</dict></dict></plist>";
  ::mkfifo(path("fifo").c_str(), 0644);
  std::filesystem::create_symlink("in.mid", path("link.mid"));
  // clang-format off
  const char* cases[] = {
      "", "* extra", "--volume 3 *", "--print-state @in.mid", "--preset 99 *", "--preset Nope *",
      "--state @state.plist *", "--state @notes.txt *", "--state @list.plist *",
      "--state @other.plist *", "--state @typed.plist *", "--state @fifo *",
      "--sample-rate 7999 *", "--sample-rate 44.1k *", "--block-size 16385 *", "--seconds -1 *",
      "--seconds nan *", "--seconds", "--set loudness=1 *", "--set shape=half *",
      "--set shape *", "--set=space=nan *", "--seed -1 *",
      "@missing.mid @out.wav", "@ @out.wav", "@garbage.mid @out.wav", "@fifo @out.wav",
      "@in.mid @no-such-folder/out.wav", "@in.mid @", "@in.mid @fifo", "@in.mid @in.mid",
      "@in.mid @link.mid"};
  // clang-format on
  for (const char* c : cases)
    expectRefused(QUORVANE_RENDER_PATH, c, "@in.mid @out.wav", {output});
  // What a sloppy file holds is refused with where and why.
  const std::string files = ORRINBROOK_SOURCE_DIR "/tests/data/fuzz/midi-file/";
  for (const auto& [file, why] :
       {std::pair{"meta-length-past-track.mid", "track 1 at byte 23: a meta event of 40 bytes"},
        {"one-byte-tempo.mid", "track 1 at byte 23: a tempo event whose length is 1"},
        {"bare-status-byte.mid", "track 1 at byte 39: a channel message without its data"}}) {
    expectRefused(QUORVANE_RENDER_PATH, files + file + " @out.wav", "", {output});
    EXPECT_NE(run({files + file, output}).err.find(why), std::string::npos) << file;
  }
  // A chunk of an unknown type is skipped: the file plays as it would without it.
  std::string bytes = readText(files + "unknown-chunk-between-tracks.mid");
  std::ofstream(path("plain.mid"), std::ios::binary) << bytes.erase(bytes.find("XFIH"), 11);
  const auto audio =
      render({"--seed", "1", "--seconds", "1", files + "unknown-chunk-between-tracks.mid", output});
  EXPECT_GT(audio.getMagnitude(0, audio.getNumSamples()), 0.01f);
  render({"--seed", "1", "--seconds", "1", path("plain.mid"), path("plain.wav")});
  EXPECT_EQ(readText(output), readText(path("plain.wav")));
  EXPECT_EQ(entries(), (std::set<std::string>{"fifo", "garbage.mid", "in.mid", "link.mid",
                                              "list.plist", "notes.txt", "other.plist", "out.wav",
                                              "plain.mid", "plain.wav", "typed.plist"}));
  EXPECT_EQ(readText(input).substr(0, 4), "MThd");
}

// 0.01235 s × 44100 = 544.6: rounded, not truncated. 0.25 s × 8000 ends on a block boundary.
TEST_F(QuorvaneRenderTest, SecondsGiveExactlyRoundedFrameCountOfStereoFloat) {
  for (auto [seconds, rate, block, frames] : {std::tuple{"0.01235", "44100", "512", 545},
                                              {"0.25", "8000", "100", 2000},
                                              {"0", "8000", "64", 0}}) {
    std::string format;
    const auto audio =
        render({"--seconds", seconds, "--sample-rate", rate, "--block-size", block, input, output},
               &format);
    EXPECT_EQ(format, "2 channels of 32-bit float at "s + rate);
    EXPECT_EQ(audio.getNumSamples(), frames) << seconds;
  }
  EXPECT_EQ(entries(), (std::set<std::string>{"in.mid", "out.wav"}));
}

TEST_F(QuorvaneRenderTest, DefaultLengthIsLastEventThroughTheTempoMapPlusThreeSeconds) {
  // 120 bpm for the first beat (480 ticks), then 60 bpm: the note-off at tick 960 comes at
  // 0.5 + 1.0 s, so 4.5 s in all. A text event later still is meta data and does not count.
  juce::MidiMessageSequence conductor;
  conductor.addEvent(juce::MidiMessage::tempoMetaEvent(500000), 0);
  conductor.addEvent(juce::MidiMessage::tempoMetaEvent(1000000), 480);
  conductor.addEvent(juce::MidiMessage::textMetaEvent(1, "late remark"), 9600);
  writeMidiFile(input, {conductor, note(64, 0, 960)});
  EXPECT_EQ(render({"--sample-rate", "8000", input, output}).getNumSamples(), 36000);
}

// A note sounds from the frame after its own (its attack starts from 0), whatever the block
// size: with 1/960 s a tick, the note-ons at ticks 50, 400 and 777 are frames 2296, 18375 and
// 35693 at 44.1 kHz, inside blocks of 64 and of 4096. Tracks merge by time: the note at tick 400
// comes in the last track, behind the one at 777.
TEST_F(QuorvaneRenderTest, NotesStartAtTheirOwnFramesWhateverTheBlockSize) {
  writeMidiFile(input, {note(60, 50, 150), note(67, 777, 877), note(64, 400, 500)});
  for (const char* block : {"64", "4096"}) {
    const auto audio = render({"--block-size", block, "--seconds", "1", "--set", "attack=0.001",
                               "--set", "release=0.001", "--set", "space=0", input, output});
    for (int channel = 0; channel < 2; ++channel) {
      std::vector<int> onsets; // the first sound after a thousand frames of silence
      int quiet = 0;
      for (int i = 0; i < audio.getNumSamples(); ++i) {
        if (audio.getSample(channel, i) != 0.0f && quiet >= 1000)
          onsets.push_back(i);
        quiet = audio.getSample(channel, i) == 0.0f ? quiet + 1 : 0;
      }
      EXPECT_EQ(onsets, (std::vector<int>{2297, 18376, 35694})) << block << ", " << channel;
    }
  }
}

} // namespace

// The bundled presets in order; a preset by name, a state file and --set each reach the state.
TEST_F(QuorvaneRenderTest, PresetsAndStateGoThroughTheUnit) {
  const ToolResult list = run({"--list-presets"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_TRUE(list.out.starts_with("0\tBlues Organ\n1\tWarm Pad\n")) << list.out;

  const ToolResult bell = run({"--preset", "Glass Bell", "--print-state"});
  ASSERT_EQ(bell.status, 0) << bell.err;
  std::ofstream(path("bell.plist")) << bell.out;
  const ToolResult state =
      run({"--state", path("bell.plist"), "--set", "space=0.125", "--print-state"});
  ASSERT_EQ(state.status, 0) << state.err;
  const auto parsed = foundation::PropertyList::read(
      std::span(reinterpret_cast<const std::uint8_t*>(state.out.data()), state.out.size()));
  ASSERT_TRUE(parsed.value) << parsed.error;
  const foundation::PropertyList* params = parsed.value->find("quorvaneParams");
  ASSERT_TRUE(params && params->dictionary() &&
              params->dictionary()->size() == 22); // every parameter
  EXPECT_EQ(params->find("space")->number(), 0.125);
  EXPECT_EQ(params->find("decay")->number(), 4.0); // from the bell, not the default 0.08
  // Applying a state sets values only: the current preset is still the one a new unit loads.
  EXPECT_EQ(*parsed.value->find("name")->string(), "Blues Organ");
}

// A tuning plays in the render and travels in the printed state; a file it cannot read is
// refused naming the file, the line and the reason.
TEST_F(QuorvaneRenderTest, TuningsPlayOrAreRefusedWithFileAndLine) {
  const std::string tunings = ORRINBROOK_SOURCE_DIR "/QuorvaneAU/resources/tunings/";
  std::ofstream(path("bad.scl")) << "! bad.scl\nthree pitches\n3\n100.0\n-3/2\n";
  std::ofstream(path("big.scl")) << std::string((1 << 20) + 1, '!');
  for (const char* c : {"--tuning @bad.scl *", "--tuning @big.scl *", "--tuning @missing.scl *",
                        "--keyboard-map @bad.scl *", "--tuning @bad.scl --print-state"})
    expectRefused(QUORVANE_RENDER_PATH, c, "@in.mid @out.wav", {output});
  EXPECT_EQ(run({"--tuning", path("bad.scl"), input, output}).err,
            "quorvane-render: " + path("bad.scl") + ":5: a ratio must be positive\n");
  const std::string scale = tunings + "19-tone equal.scl";
  render({"--seed", "1", "--seconds", "1", input, path("plain.wav")});
  // A at 432 Hz moves every key.
  render({"--seed", "1", "--seconds", "1", "--tuning", scale, "--keyboard-map",
          tunings + "A 432.kbm", input, output});
  EXPECT_TRUE(readText(output) != readText(path("plain.wav")));
  const ToolResult state = run({"--tuning", scale, "--print-state"});
  EXPECT_NE(state.out.find("<key>tuningScale</key>"), std::string::npos);
}

// A link keeps being a link to the new file, a replaced file keeps its mode, "-" is standard
// output, and a write that fails says why.
TEST_F(QuorvaneRenderTest, OutputsGoThroughLinksKeepTheirModeOrGoToStandardOutput) {
  const std::vector<std::string> settings = {"--seed", "3", "--seconds", "0.2", input};
  const auto arguments = [&](const std::string& out) {
    auto all = settings;
    all.push_back(out);
    return all;
  };
  render(arguments(output));
  const std::string expected = readText(output);
  std::ofstream(path("target.wav")) << "keep";
  ::chmod(path("target.wav").c_str(), 0604);
  std::filesystem::create_symlink("target.wav", path("link.wav"));
  render(arguments(path("link.wav")));
  EXPECT_TRUE(std::filesystem::is_symlink(path("link.wav")));
  EXPECT_EQ(readText(path("target.wav")), expected);
  EXPECT_EQ(std::filesystem::status(path("target.wav")).permissions(),
            std::filesystem::perms(0604));

  const ToolResult piped = run(arguments("-"));
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(piped.out, expected);

  // Past a file-size limit of 8 KiB the write fails, as on a full disk: status 2 and the reason.
  const ToolResult limited =
      runTool("/bin/sh", {"-c", "ulimit -f 16; exec '" QUORVANE_RENDER_PATH "' \"$@\"", "sh",
                          "--seconds", "1", input, path("big.wav")});
  EXPECT_EQ(limited.status, 2);
  EXPECT_EQ(limited.err,
            "quorvane-render: cannot write '" + path("big.wav") + "': File too large\n");
  EXPECT_FALSE(std::filesystem::exists(path("big.wav")));
}

// SIGTERM while rendering, and while blocked writing into a pipe nobody reads: status 130 and
// the output left as it was, every time.
TEST_F(QuorvaneRenderTest, AnInterruptionEndsTheRenderWithStatus130) {
  for (const std::string& out : {output, "-"s}) {
    SCOPED_TRACE(out);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string seconds = out == "-" ? "20" : "36000";
    const char* argv[] = {QUORVANE_RENDER_PATH, "--seconds", seconds.c_str(),
                          input.c_str(),        out.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ),
              0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    ::usleep(1500 * 1000);
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(pipeEnds[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    EXPECT_FALSE(std::filesystem::exists(output));
  }
}
