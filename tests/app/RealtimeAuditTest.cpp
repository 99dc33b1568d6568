// The demo's render path (observer, driver, generator, host answers, MIDI bridge) never
// allocates, frees, locks, sleeps or does I/O, playing or stopping.
#include "RealtimeAudit.h"
#include "tests/app/DemoRig.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoRenderPath, DoesNothingUnsafeWhilePlayingAndAfterStop) {
  DemoRig rig(1024); // two generator slices a cycle
  rig.probe->recordCalls = false;
  rig.load();
  std::vector<float> left(1024), right(1024);
  float* channels[2] = {left.data(), right.data()};
  const auto renderCounted = [&](int cycles) {
    gCounting = true;
    for (int i = 0; i < cycles; ++i)
      ASSERT_EQ(rig.output->render(channels, 1024), noErr);
    gCounting = false;
  };
  rig.controller->togglePlay();
  resetRealtimeCounts();
  renderCounted(400); // about nine seconds: bars, fills and turnarounds
  rig.controller->togglePlay();
  renderCounted(4);
  EXPECT_EQ(realtimeCounts(), RealtimeCounts{});
  EXPECT_GT(noteOns(rig.midi()).size(), 20u);
}

} // namespace
