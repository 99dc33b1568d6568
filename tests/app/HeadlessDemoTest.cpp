// The app run as a user runs it: `quorvane --render FILE.wav --demo` plays the generator's blues
// into the synthesiser, offline, the same way every time.
#include "tests/app/DemoRig.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace {

constexpr int kCycle = 512; // the headless render cycle

// Mean square of both channels over each render cycle.
std::vector<double> cycleEnergy(const juce::AudioBuffer<float>& audio) {
  std::vector<double> energy(std::size_t(audio.getNumSamples() / kCycle));
  for (int c = 0; c < audio.getNumChannels(); ++c)
    for (std::size_t k = 0; k < energy.size(); ++k)
      for (int i = 0; i < kCycle; ++i)
        energy[k] += std::pow(audio.getSample(c, int(k) * kCycle + i), 2.0) / kCycle;
  return energy;
}

class HeadlessDemoTest : public ::testing::Test, protected ToolTestFolder {
protected:
  HeadlessDemoTest() : ToolTestFolder("quorvane-app-test") {}
  ToolResult run(const std::vector<std::string>& arguments) const {
    return runTool(QUORVANE_APP_PATH, arguments);
  }
};

// That the same seed gives the same file (the demo's key and tempo with it) is the render
// fingerprints' business; the tempo's rounding and limits are the host controller's.
TEST_F(HeadlessDemoTest, ThirtySecondsOfTheDemoSoundWhereTheGeneratorsNotesStart) {
  const ToolResult first = run({"--render", path("a.wav"), "--demo", "--seed", "7"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(first.out,
            "Pallix instantiated in-process: Orrinbrook: Pallix (In-Process) (aumi/PlxI/ob*k)\n"
            "Pallix bridge installed at 2 ch, 44100 Hz, Float32, deinterleaved\n");
  EXPECT_EQ(entries(), (std::set<std::string>{"a.wav"})) << "no temporary file stays";

  const Wav wav = readWav(path("a.wav"));
  EXPECT_EQ(wav.format, "2 channels of 32-bit float at 44100");
  ASSERT_EQ(wav.audio.getNumSamples(), 30 * 44100);
  EXPECT_GT(wav.audio.getRMSLevel(0, 0, wav.audio.getNumSamples()), 0.02f);

  // What the generator played into the synthesiser: the same graph in this process, with an
  // instrument that records its MIDI.
  DemoRig rig;
  rig.load();
  rig.controller->togglePlay();
  rig.render(30.0);
  const auto notes = noteOns(rig.midi());
  ASSERT_GT(notes.size(), 100u);

  // The synthesiser is silent until the cycle of the first note, and sounds from it on.
  const auto energy = cycleEnergy(wav.audio);
  const std::size_t firstCycle = std::size_t(notes.front().time / kCycle);
  for (std::size_t k = 0; k < firstCycle; ++k)
    ASSERT_EQ(energy[k], 0.0) << k;
  EXPECT_GT(energy[firstCycle], 1e-6);
  // Its loudness rises in the cycles where the generator's notes start, not elsewhere.
  std::vector<bool> onset(energy.size());
  for (const TimedMidi& n : notes)
    if (std::size_t(n.time / kCycle) < onset.size())
      onset[std::size_t(n.time / kCycle)] = true;
  double rise[2] = {}; // log energy ratio across a cycle: elsewhere, at onsets
  int cycles[2] = {};
  for (std::size_t k = firstCycle + 1; k + 1 < energy.size(); ++k) {
    rise[onset[k]] += std::log((energy[k + 1] + 1e-9) / (energy[k - 1] + 1e-9));
    ++cycles[onset[k]];
  }
  EXPECT_GT(rise[1] / cycles[1], 0.3);
  EXPECT_LT(rise[0] / cycles[0], 0.1);
}

TEST_F(HeadlessDemoTest, BadArgumentsGiveOneLineStatusTwoAndTouchNoFile) {
  for (const char* text :
       {"--demo", "--render", "* extra", "* --volume 3", "* --seconds 86401", "* --tempo inf",
        "* --seed -3", "--demo=yes *", "--render @missing/out.wav", "--render --demo --seconds 1"})
    expectRefused(QUORVANE_APP_PATH, text, "--render @out.wav", {path("out.wav")});
  // The other modes and the window's own options.
  for (const char* text :
       {"* --size 720", "* --size 479x612", "* --size 720x491", "* --size 9000x612",
        "* --size x612", "* --help-page 9", "* --help-page -1", "* --demo", "* --audio-device hw",
        "* --render @out.wav", "--size 720x612", "--help-page 1", "--list-devices *",
        "--audio-device= *", "--midi-input", "--midi-input all --render @out.png"})
    expectRefused(QUORVANE_APP_PATH, text, "--screenshot @out.png", {path("out.png")});
}

TEST_F(HeadlessDemoTest, WithoutADisplayTheWindowIsRefusedOnOneLine) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display != nullptr ? display : "";
  unsetenv("DISPLAY");
  const ToolResult r = run({"--midi-input", "none"});
  if (display != nullptr)
    setenv("DISPLAY", saved.c_str(), 1);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
}

} // namespace
