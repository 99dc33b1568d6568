// The audio engine with its offline output: start-up, the pull, mixing and failures.
#include "tests/support/TestUnit.h"

#include "platform/audiounit/AudioEngine.h"
#include "platform/audiounit/OfflineAudioOutput.h"

#include <gtest/gtest.h>

namespace {
struct Engine : ::testing::Test {
  AudioEngine engine;
  std::shared_ptr<OfflineAudioOutput> output =
      std::make_shared<OfflineAudioOutput>(AudioFormat::standard(48000, 2), 100, 1000.0);
  std::shared_ptr<Probe> probe = std::make_shared<Probe>();
  std::shared_ptr<TestUnit> unit = makeUnit(probe);

  void connect(const std::shared_ptr<AUAudioUnit>& source) {
    engine.attach(source);
    ASSERT_TRUE(engine.connect(source, engine.mainMixer()));
  }
};
} // namespace

TEST_F(Engine, OfflineOutputPullsTheRequestedFramesWithGrowingSampleTimes) {
  ASSERT_TRUE(engine.setOutput(output));
  connect(unit);
  ASSERT_TRUE(engine.start());
  // The unit runs at the output's rate and block size.
  EXPECT_EQ(unit->outputBusses()[0].format().sampleRate, 48000);
  EXPECT_EQ(unit->maximumFramesToRender(), 100u);
  EXPECT_TRUE(unit->renderResourcesAllocated());

  auto first = output->render(250);
  ASSERT_TRUE(first);
  EXPECT_EQ(probe->callTimes, (std::vector<double>{1000, 1100, 1200}));
  EXPECT_EQ(probe->callFrames, (std::vector<AUAudioFrameCount>{100, 100, 50}));
  ASSERT_EQ(first->size(), 2u);
  ASSERT_EQ((*first)[0].size(), 250u);
  for (std::size_t i = 0; i < 250; ++i) {
    ASSERT_EQ((*first)[0][i], float(1000 + i));
    ASSERT_EQ((*first)[1][i], -float(1000 + i));
  }
  auto second = output->render(10);
  ASSERT_TRUE(second);
  EXPECT_EQ((*second)[0][0], 1250.0f);
  EXPECT_EQ(output->sampleTime(), 1260.0);

  engine.stop();
  EXPECT_FALSE(unit->renderResourcesAllocated());
  EXPECT_EQ(output->render(10).error().code, kAudioUnitErr_Uninitialized);
}

TEST_F(Engine, ConnectionFormatComesFromTheBusAndMonoFeedsEveryChannel) {
  auto mono = makeUnit(std::make_shared<Probe>(), {.channels = 1});
  ASSERT_TRUE(engine.setOutput(output));
  connect(mono);
  connect(unit);
  EXPECT_EQ(engine.connectionFormat(*mono), AudioFormat::standard(44100, 1));
  engine.mainMixer().setOutputVolume(0.5f);
  ASSERT_TRUE(engine.start());
  auto mix = output->render(4);
  ASSERT_TRUE(mix);
  // Left: 0.5 x (t + t); right: 0.5 x (t - t).
  EXPECT_EQ((*mix)[0][3], 1003.0f);
  EXPECT_EQ((*mix)[1][3], 0.0f);
  EXPECT_EQ(mono->outputBusses()[0].format(), AudioFormat::standard(48000, 1));
}

TEST_F(Engine, StartFailuresComeBackUnchangedAndUndoTheAllocations) {
  EXPECT_EQ(engine.start().error().code, kAudioUnitErr_NoConnection);
  ASSERT_TRUE(engine.setOutput(output));
  auto refusing = makeUnit(std::make_shared<Probe>(), {.failAllocation = true});
  connect(unit);
  connect(refusing);
  const auto started = engine.start();
  ASSERT_FALSE(started);
  EXPECT_EQ(started.error(), (AUError{-4242, "the test unit refuses to allocate"}));
  EXPECT_FALSE(engine.isRunning());
  EXPECT_FALSE(unit->renderResourcesAllocated());

  ASSERT_TRUE(engine.detach(refusing));
  ASSERT_TRUE(engine.start());
  EXPECT_EQ(engine.connect(unit, engine.mainMixer()).error().code,
            kAudioUnitErr_CannotDoInCurrentContext);
  engine.stop();
  EXPECT_EQ(engine.connect(makeUnit(probe), engine.mainMixer()).error().code,
            kAudioUnitErr_InvalidParameter); // not attached
}
