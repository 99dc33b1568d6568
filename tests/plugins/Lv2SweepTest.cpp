// The sweeps through both LV2 bundles of the build tree, in the liblilv host: values in the
// parameters' own units (also beyond their ranges and non-finite) as patch:Set, positions as
// time:Position, and blocks longer than the options promise.
#include "tests/plugins/Lv2Driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What a host does while notes sound.
const std::vector<Interruption>& interruptions() {
  static const std::vector<Interruption> all{
      {"deactivated and activated",
       [](SweepHost& d, int) { static_cast<Lv2Driver&>(d).instance.reactivate(); }},
      kKeyChangedAndStateRestored,
      {"preset chosen",
       [](SweepHost& d, int) {
         auto& lv2 = static_cast<Lv2Driver&>(d);
         lv2.instance.loadPreset(lv2.uri + ":preset3");
       }},
  };
  return all;
}

} // namespace

TEST(Lv2Sweep, BothPluginsDescribeTheirParameters) {
  EXPECT_EQ(world().parameters(kQuorvane).size(), 21u);
  EXPECT_EQ(world().parameters(kPallix).size(), 8u);
}

TEST(Lv2Sweep, SynthesiserAtEveryRateAndBlockUnderAutomation) {
  sweepSynthRatesAndBlocks(driven(kQuorvane));
}

TEST(Lv2Sweep, GeneratorAtEveryRateAndBlockUnderAutomation) {
  sweepGeneratorRatesAndBlocks(driven(kPallix));
}

TEST(Lv2Sweep, SynthesiserStateRestoredMidStreamRendersTheSame) {
  expectSynthStateRestoresMidStream(driven(kQuorvane));
}

TEST(Lv2Sweep, GeneratorStateRestoredMidStreamPlaysTheSame) {
  expectGeneratorStateRestoresMidStream(driven(kPallix));
}

TEST(Lv2Sweep, GeneratorEndsEveryNoteItStarts) {
  expectGeneratorEndsEveryNote(driven(kPallix), interruptions());
}

// Held notes with the pedal down, full sustain and release, echo and reverb: whatever the host
// does meanwhile, its all-notes-off and pedal-up let them fade to silence.
TEST(Lv2Sweep, SynthesiserNotesEndAfterEveryInterruption) {
  constexpr double kRate = 48000;
  constexpr int kBlock = 256;
  for (const auto& interruption : interruptions()) {
    SCOPED_TRACE(interruption.name);
    Lv2Driver synth(kQuorvane, kRate, kBlock);
    for (const char* identifier : {"sustain", "echo", "space"})
      synth.instance.addParameter(0, identifier, 1.0f);
    synth.instance.addParameter(0, "release", 0.05f);
    const std::vector<TimedMidi> held{
        {0, {0xB0, 64, 127}}, {0, {0x90, 48, 100}}, {0, {0x90, 55, 100}}, {0, {0x90, 64, 100}}};
    synth.runFor(0.2, kBlock, held);
    ASSERT_GT(synth.audit.peak(), 1e-3f);
    interruption.apply(synth, kBlock);
    synth.runFor(0.05, kBlock);
    const std::vector<TimedMidi> released{{synth.now, {0xB0, 64, 0}}, {synth.now, {0xB0, 123, 0}}};
    synth.instance.addParameter(0, "space", 0.0f);
    synth.instance.addParameter(0, "echo", 0.0f);
    synth.instance.addParameter(0, "release", 0.05f);
    synth.runFor(0.5, kBlock, released);
    EXPECT_EQ(synth.peakOver(0.1, kBlock), 0.0f);
    EXPECT_EQ(synth.audit.fault(), "");
  }
}

// An LV2 host relays nothing the plug-in reported: its first value after a restore is
// automation, to be followed even when it equals the value reported before the restore.
TEST(Lv2Sweep, AutomationRightAfterARestoreIsFollowedWhateverItsValue) {
  Lv2Driver tuned(kQuorvane, 48000, 512), restored(kQuorvane, 48000, 512),
      untouched(kQuorvane, 48000, 512);
  tuned.instance.addParameter(0, "echo", 0.5f);
  tuned.instance.addParameter(0, "filterType", 2.0f);
  tuned.run(512);
  restored.run(512); // reports the values it starts with: echo 0, low-pass
  untouched.run(512);
  restored.instance.restoreState(tuned.instance.saveState());
  restored.instance.addParameter(0, "echo", 0.0f);
  restored.instance.addParameter(0, "filterType", 0.0f);
  restored.run(512);
  EXPECT_EQ(restored.instance.saveState(), untouched.instance.saveState());
}
