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

// One instance run as a host runs it, with a transport at 120 quarters a minute in 4/4 whose
// position goes with every block, automation, MIDI in, and an audit of what comes out.
class Lv2Driver {
public:
  Lv2Driver(const std::string& uri, double rate, int prepared)
      : instance(world(), uri, rate, static_cast<std::uint32_t>(prepared)),
        parameters(world().parameters(uri)), rate_(rate) {}

  // Every parameter in its own units: the dice's 0 and 1 are the ends of its range.
  void automate(AutomationDice& dice, bool inRangeOnly = false) {
    for (const Lv2Parameter& parameter : parameters) {
      const float normalised =
          inRangeOnly ? (dependsOnHistory(parameter.identifier) ? 0.0f : dice.nextInRange())
                      : dice.next();
      instance.addParameter(0, parameter.identifier,
                            parameter.minimum +
                                normalised * (parameter.maximum - parameter.minimum));
    }
  }

  void run(int frames, std::span<const TimedMidi> schedule = {}) {
    instance.addPosition(0, static_cast<double>(samples) / (rate_ * 0.5), 120.0, playing);
    const auto first =
        std::lower_bound(schedule.begin(), schedule.end(), now,
                         [](const TimedMidi& m, std::int64_t frame) { return m.frame < frame; });
    for (auto m = first; m != schedule.end() && m->frame < now + frames; ++m)
      instance.addMidi(static_cast<std::uint32_t>(m->frame - now), m->bytes,
                       static_cast<std::uint32_t>(midiLength(m->bytes[0])));
    for (const Lv2MidiMessage& m : instance.run(static_cast<std::uint32_t>(frames))) {
      sent.add(m.sampleTime, m.bytes[0], m.bytes[1], m.bytes[2]);
      received.push_back({m.sampleTime, m.bytes});
    }
    for (int channel : {0, 1}) {
      const auto output = instance.output(channel);
      audit.add(output);
      if (recording)
        recorded.insert(recorded.end(), output.begin(), output.end());
    }
    now += frames;
    if (playing)
      samples += frames;
  }

  void runFor(double seconds, int blockSize, std::span<const TimedMidi> schedule = {},
              AutomationDice* dice = nullptr, bool inRangeOnly = false) {
    const std::int64_t end = now + framesOf(seconds, rate_);
    while (now < end) {
      if (dice)
        automate(*dice, inRangeOnly);
      run(static_cast<int>(std::min<std::int64_t>(blockSize, end - now)), schedule);
    }
  }

  float peakOver(double seconds, int blockSize) {
    audit.restartPeak();
    runFor(seconds, blockSize);
    return audit.peak();
  }

  Lv2Instance instance;
  std::vector<Lv2Parameter> parameters;
  std::int64_t now = 0;
  std::int64_t samples = 0; // the transport's position
  bool playing = false;
  SampleAudit audit;
  NoteLedger sent;
  std::vector<TimedMidi> received;
  bool recording = false;
  std::vector<float> recorded;

private:
  double rate_;
};

// What a host does while notes sound.
struct Lv2Interruption {
  const char* name;
  std::function<void(Lv2Driver&, const std::string& uri)> apply;
};

const std::vector<Lv2Interruption>& interruptions() {
  static const std::vector<Lv2Interruption> all{
      {"deactivated and activated",
       [](Lv2Driver& d, const std::string&) { d.instance.reactivate(); }},
      {"state restored",
       [](Lv2Driver& d, const std::string&) { d.instance.restoreState(d.instance.saveState()); }},
      {"preset chosen",
       [](Lv2Driver& d, const std::string& uri) { d.instance.loadPreset(uri + ":preset3"); }},
  };
  return all;
}

} // namespace

TEST(Lv2Sweep, BothPluginsDescribeTheirParameters) {
  EXPECT_EQ(world().parameters(kQuorvane).size(), 21u);
  EXPECT_EQ(world().parameters(kPallix).size(), 8u);
}

TEST(Lv2Sweep, SynthesiserAtEveryRateAndBlockUnderAutomation) {
  for (std::size_t i = 0; i < kSweepCases.size(); ++i) {
    const SweepCase& c = kSweepCases[i];
    SCOPED_TRACE(::testing::Message() << c);
    Lv2Driver synth(kQuorvane, c.rate, c.prepared);
    AutomationDice dice(std::uint32_t(i + 1), true);
    const auto played = synthPerformance(c.rate, framesOf(kSweepSeconds, c.rate), dice);
    synth.runFor(kSweepSeconds, c.block, played, &dice);
    EXPECT_EQ(synth.audit.fault(), "");
    EXPECT_GT(synth.audit.peak(), 0.0f);
  }
}

TEST(Lv2Sweep, GeneratorAtEveryRateAndBlockUnderAutomation) {
  for (std::size_t i = 0; i < kSweepCases.size(); ++i) {
    const SweepCase& c = kSweepCases[i];
    SCOPED_TRACE(::testing::Message() << c);
    Lv2Driver generator(kPallix, c.rate, c.prepared);
    AutomationDice dice(std::uint32_t(i + 100), true);
    generator.playing = true;
    generator.runFor(kGeneratorSeconds, c.block, {}, &dice);
    generator.playing = false;
    generator.runFor(0.05, c.block);
    EXPECT_EQ(generator.audit.fault(), "");
    EXPECT_EQ(generator.audit.peak(), 0.0f);
    EXPECT_GT(generator.sent.started(), 0);
    EXPECT_EQ(generator.sent.problems(), "");
    EXPECT_EQ(generator.sent.sounding(), "");
  }
}

// As through the adapter: a automated without notes and saved, a fresh b restoring it, and
// from then on the same notes and automation give the same samples.
TEST(Lv2Sweep, SynthesiserStateRestoredMidStreamRendersTheSame) {
  // 44.1 kHz in blocks of 512, 96 kHz in blocks of 17, blocks longer than prepared.
  for (const SweepCase& c : {kSweepCases[3], kSweepCases[8], kSweepCases[12]}) {
    SCOPED_TRACE(::testing::Message() << c);
    Lv2Driver first(kQuorvane, c.rate, c.prepared), second(kQuorvane, c.rate, c.prepared);
    AutomationDice dice(7, true);
    first.runFor(0.05, c.block, {}, &dice);
    first.automate(dice, true);
    first.run(c.block);
    second.run(c.block);
    second.instance.restoreState(first.instance.saveState());

    AutomationDice notes(8, false), automation(9, false), same(9, false);
    const auto played = synthPerformance(c.rate, framesOf(kSweepSeconds, c.rate), notes);
    first.recording = second.recording = true;
    first.runFor(kSweepSeconds, c.block, delayed(played, first.now), &automation, true);
    second.runFor(kSweepSeconds, c.block, delayed(played, second.now), &same, true);
    ASSERT_EQ(first.recorded.size(), second.recorded.size());
    const auto differs =
        std::mismatch(first.recorded.begin(), first.recorded.end(), second.recorded.begin());
    EXPECT_EQ(differs.first, first.recorded.end())
        << "first difference at sample " << (differs.first - first.recorded.begin());
    EXPECT_GT(first.audit.peak(), 1e-3f);
  }
}

TEST(Lv2Sweep, GeneratorStateRestoredMidStreamPlaysTheSame) {
  // 44.1 kHz in blocks of 512, 48 kHz in blocks of 17.
  for (const SweepCase& c : {kSweepCases[3], kSweepCases[4]}) {
    SCOPED_TRACE(::testing::Message() << c);
    Lv2Driver first(kPallix, c.rate, c.prepared), second(kPallix, c.rate, c.prepared);
    AutomationDice dice(11, true);
    first.runFor(0.05, c.block, {}, &dice);
    first.automate(dice, true);
    first.run(c.block);
    second.run(c.block);
    second.instance.restoreState(first.instance.saveState());

    AutomationDice automation(12, false), same(12, false);
    first.playing = second.playing = true;
    first.runFor(kGeneratorSeconds, c.block, {}, &automation, true);
    second.runFor(kGeneratorSeconds, c.block, {}, &same, true);
    const auto fromStart = [](std::vector<TimedMidi> messages, std::int64_t start) {
      for (TimedMidi& m : messages)
        m.frame -= start;
      return messages;
    };
    EXPECT_FALSE(first.received.empty());
    EXPECT_EQ(fromStart(first.received, first.now), fromStart(second.received, second.now));
  }
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
    interruption.apply(synth, kQuorvane);
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

TEST(Lv2Sweep, GeneratorEndsEveryNoteItStarts) {
  constexpr double kRate = 44100;
  constexpr int kBlock = 128;
  for (const auto& interruption : interruptions()) {
    SCOPED_TRACE(interruption.name);
    Lv2Driver generator(kPallix, kRate, kBlock);
    generator.playing = true;
    for (int block = 0; block < 2000 && generator.sent.sounding().empty(); ++block)
      generator.run(kBlock);
    ASSERT_NE(generator.sent.sounding(), "");
    interruption.apply(generator, kPallix);
    generator.runFor(1.0, kBlock);
    generator.playing = false;
    generator.runFor(0.05, kBlock);
    EXPECT_EQ(generator.sent.problems(), "");
    EXPECT_EQ(generator.sent.sounding(), "");
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
