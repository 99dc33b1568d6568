// Start-up of the app's graph without a window: both arrival orders, the bridge's failures, and
// Play and tempo before the generator exists.
#include "tests/app/DemoRig.h"

#include <gtest/gtest.h>

namespace {

int count(const std::string& text, const std::string& line) {
  int n = 0;
  for (auto at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
    ++n;
  return n;
}

TEST(HostController, EitherArrivalOrderInstallsExactlyOneDriver) {
  for (bool generatorFirst : {false, true}) {
    SCOPED_TRACE(generatorFirst ? "generator first" : "synthesiser first");
    DemoRig rig;
    rig.load(generatorFirst);
    const auto driver = rig.controller->pallixDriver();
    ASSERT_TRUE(driver);
    ASSERT_TRUE(rig.controller->pallixObserverToken());
    rig.controller->installPallixBridge();
    EXPECT_EQ(rig.controller->pallixDriver(), driver);
    EXPECT_EQ(rig.out.str(), "Pallix instantiated in-process: aumi/PlxI/ob*k\n"
                             "Pallix bridge installed at 2 ch, 44100 Hz, Float32, deinterleaved\n");
    EXPECT_TRUE(rig.controller->engine().isRunning());

    // One driver renders the generator once a cycle: the demo starts on time, each note once.
    rig.controller->togglePlay();
    rig.render(2.0);
    const auto notes = noteOns(rig.midi());
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.front().time, 1024) << "on the downbeat, as the warm-up ends";
    for (std::size_t i = 1; i < notes.size(); ++i)
      EXPECT_FALSE(notes[i] == notes[i - 1]) << i;
  }
}

TEST(HostController, AFailedBridgeLeavesNoDriverAndNoObserver) {
  struct Case {
    const char* name;
    bool synthTakesMIDI;
    AUAudioFrameCount generatorFrames;
    const char* reason;
  };
  const Case cases[] = {
      {"allocation refused", true, 0, "Pallix bridge setup failed: "},
      {"no MIDI entry", false, 512, "Pallix bridge setup failed: the synthesiser offers no MIDI"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DemoRig rig;
    if (!c.synthTakesMIDI) // an effect has no MIDI schedule entry
      rig.synth =
          AUAudioUnit::create<TestUnit>({kAudioUnitType_Effect, 1, 1, 0, 0}, 0, rig.probe).value();
    auto generator = demoGenerator();
    generator->setMaximumFramesToRender(c.generatorFrames);
    rig.controller->synthesiserDidLoad(rig.synth);
    rig.controller->pallixDidLoad(generator);
    EXPECT_EQ(count(rig.out.str(), c.reason), 1) << rig.out.str();
    EXPECT_FALSE(rig.controller->pallixDriver());
    EXPECT_FALSE(rig.controller->pallixObserverToken());
    EXPECT_FALSE(generator->renderResourcesAllocated());
    rig.controller->togglePlay(); // only the flag changes
    EXPECT_TRUE(rig.controller->isPlaying());
    rig.render(1.0);
    EXPECT_TRUE(rig.midi().empty());
  }
}

TEST(HostController, PlayAndTempoBeforeTheGeneratorLeaveANewDriverStoppedAt120) {
  DemoRig rig;
  rig.controller->synthesiserDidLoad(rig.synth);
  rig.controller->togglePlay();
  rig.controller->setTempo(99.5);
  EXPECT_TRUE(rig.controller->isPlaying());
  EXPECT_EQ(rig.controller->tempoBPM(), 100.0);

  rig.controller->pallixDidLoad(demoGenerator());
  ASSERT_TRUE(rig.controller->pallixDriver());
  EXPECT_FALSE(rig.state().isPlaying);
  EXPECT_EQ(rig.state().tempo, 120.0);

  // The next press only brings the window's flag back in line: no Stop reaches the synthesiser.
  rig.controller->togglePlay();
  EXPECT_FALSE(rig.controller->isPlaying());
  rig.render(0.1);
  EXPECT_TRUE(rig.midi().empty());
  // From the next tempo change on the driver follows, rounded and limited at either end.
  rig.controller->setTempo(300);
  EXPECT_EQ(rig.state().tempo, 240.0);
  rig.controller->setTempo(12);
  EXPECT_EQ(rig.state().tempo, 40.0);
}

TEST(HostController, ARestartAtAnotherRateRebuildsTheDemoAtThatRateStillPlaying) {
  DemoRig rig;
  rig.load();
  rig.controller->setTempo(90);
  rig.controller->togglePlay();
  auto faster = std::make_shared<OfflineAudioOutput>(AudioFormat::standard(48000.0, 2), 512);
  rig.controller->engine().stop(); // outputs change only while stopped
  ASSERT_TRUE(rig.controller->engine().setOutput(faster).ok());

  ASSERT_TRUE(rig.controller->restartEngine().ok());
  ASSERT_TRUE(rig.controller->pallixDriver());
  EXPECT_EQ(count(rig.out.str(), "Pallix bridge installed at 2 ch, 48000 Hz"), 1) << rig.out.str();
  EXPECT_TRUE(rig.controller->isPlaying());
  EXPECT_TRUE(rig.state().isPlaying);
  EXPECT_EQ(rig.state().tempo, 90.0);
  ASSERT_TRUE(faster->render(48000).ok());
  EXPECT_FALSE(noteOns(rig.midi()).empty()) << "the demo plays on at the new rate";
}

} // namespace
