// The sweeps through both LV2 bundles of the build tree, in the liblilv host: values in the
// parameters' own units (also beyond their ranges and non-finite) as patch:Set, positions as
// time:Position, and blocks longer than the options promise.
#include "tests/plugins/Lv2Host.h"
#include "tests/plugins/SweepChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace {

const std::string kQuorvane = "https://orrinbrook.org/plugins/quorvane";
const std::string kPallix = "https://orrinbrook.org/plugins/pallix";

Lv2World& world() {
  static Lv2World shared({QUORVANE_LV2_BUNDLE, PALLIX_LV2_BUNDLE});
  return shared;
}

// One instance with the parameters in their own units: the dice's 0 and 1 are the ends of
// each range; the transport's position goes with every block.
class Lv2Driver : public SweepHost {
public:
  Lv2Driver(const std::string& uri, double rate, int prepared)
      : SweepHost(rate), uri(uri),
        instance(world(), uri, rate, static_cast<std::uint32_t>(prepared)),
        parameters(world().parameters(uri)) {}

  std::size_t parameterCount() const override { return parameters.size(); }
  std::string parameterName(std::size_t i) const override { return parameters[i].identifier; }
  void setParameter(std::size_t i, float normalised) override {
    const Lv2Parameter& p = parameters[i];
    instance.addParameter(0, p.identifier, p.minimum + normalised * (p.maximum - p.minimum));
  }
  using SweepHost::setParameter;
  std::string saveState() override { return instance.saveState(); }
  void restoreState(const std::string& state) override { instance.restoreState(state); }
  void deliverAutomation(int block) override { run(block); }

  std::string uri;
  Lv2Instance instance;
  std::vector<Lv2Parameter> parameters;

private:
  void render(int frames, std::span<const TimedMidi> due) override {
    instance.addPosition(0, quarters(), 120.0, playing);
    for (const TimedMidi& m : due)
      instance.addMidi(static_cast<std::uint32_t>(m.frame - now), m.bytes,
                       static_cast<std::uint32_t>(midiLength(m.bytes[0])));
    for (const Lv2MidiMessage& m : instance.run(static_cast<std::uint32_t>(frames)))
      emitted(m.sampleTime, m.bytes);
    for (int channel : {0, 1})
      heard(instance.output(channel));
  }
};

HostFactory driven(const std::string& uri) {
  return [uri](const SweepCase& c) { return std::make_unique<Lv2Driver>(uri, c.rate, c.prepared); };
}

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
