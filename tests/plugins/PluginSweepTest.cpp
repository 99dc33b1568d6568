// The sweeps a plug-in validator runs, each written once and run in every host: the adapter in
// process, the VST3 bundles through JUCE's VST3 host, the LV2 bundles through liblilv.
#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "plugins/adapter/UnitProcessor.h"
#include "tests/plugins/JuceEnvironment.h"
#include "tests/plugins/Lv2SweepHost.h"
#include "tests/plugins/ProcessorHost.h"
#include "tests/plugins/SoundMeasure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

template <class Unit> ProcessorFactory adapted() {
  return [] {
    auto unit = AUAudioUnit::create<Unit>(Unit::kDescription);
    return std::make_unique<plugins::UnitProcessor>(std::move(unit).value(), "test");
  };
}

ProcessorFactory loaded(const char* bundle) {
  return [bundle]() -> std::unique_ptr<juce::AudioProcessor> { return loadVst3(bundle).instance; };
}

// Every host, one a line. In process, blocks longer than prepared and non-finite automation
// reach the adapter as they are; LV2 values are control inputs in the parameters' own units.
const std::vector<PluginHost> kHosts{
    processorHost("Adapter", adapted<quorvane::unit::QuorvaneAudioUnit>(),
                  adapted<pallix::unit::PallixAudioUnit>(), true),
    processorHost("Vst3", loaded(QUORVANE_VST3_BUNDLE), loaded(PALLIX_VST3_BUNDLE), false),
    lv2Host("Lv2", QUORVANE_LV2_BUNDLE, PALLIX_LV2_BUNDLE),
};

// What a host does to a plug-in while notes sound, where the host can. After those that
// silence, the synthesiser falls silent with no note-off; after the others, its notes end when
// the host ends them.
struct Interruption {
  const char* name;
  bool (*available)(const HostCan&);
  bool (*silences)(const HostCan&);
  void (*apply)(SweepHost&, int block);
};

bool always(const HostCan&) { return true; }
bool never(const HostCan&) { return false; }

const Interruption kInterruptions[] = {
    {"reset", [](const HostCan& can) { return can.reset; }, always,
     [](SweepHost& host, int) { host.reset(); }},
    {"deactivated and activated", always,
     [](const HostCan& can) { return can.silenceByReactivating; },
     [](SweepHost& host, int block) { host.reactivate(host.rate, block); }},
    {"activated at another rate", [](const HostCan& can) { return can.changeRate; }, always,
     [](SweepHost& host, int block) { host.reactivate(2 * host.rate, block); }},
    // The key changes while the generator's notes sound, and changes back with a state saved
    // before.
    {"state restored", always, never,
     [](SweepHost& host, int block) {
       const std::string before = host.saveState();
       host.setParameter("rootNote", 0.5f);
       host.setParameter("mode", 1.0f); // minor
       host.run(block);
       host.restoreState(before);
     }},
    {"program chosen", always, never, [](SweepHost& host, int) { host.chooseProgram(2); }},
};

class PluginSweep : public ::testing::TestWithParam<PluginHost> {
protected:
  const PluginHost& host = GetParam();
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Hosts, PluginSweep, ::testing::ValuesIn(kHosts),
                         [](const auto& info) { return info.param.name; });

TEST_P(PluginSweep, BothPluginsShowTheirUnitsParameters) {
  EXPECT_EQ(host.synth({48000, 512, 512})->parameterCount(), kQuorvaneParameters);
  EXPECT_EQ(host.generator({48000, 512, 512})->parameterCount(), kPallixParameters);
}

// Every rate and block of the table, every parameter automated in every block: no bad sample,
// and the notes are heard.
TEST_P(PluginSweep, SynthesiserAtEveryRateAndBlockUnderAutomation) {
  for (std::size_t i = 0; i < kSweepCases.size(); ++i) {
    const SweepCase& c = kSweepCases[i];
    SCOPED_TRACE(::testing::Message() << c);
    const auto synth = host.synth(c);
    AutomationDice dice(std::uint32_t(i + 1), true);
    const auto played = synthPerformance(c.rate, framesOf(kSweepSeconds, c.rate), dice);
    synth->runFor(kSweepSeconds, c.block, played, &dice);
    EXPECT_EQ(synth->audit.fault(), "");
    EXPECT_GT(synth->audit.peak(), 0.0f);
  }
}

// The generator with its transport rolling and stopping, automated in every block: silent
// audio, well-formed notes, each ended by the time the transport has stopped.
TEST_P(PluginSweep, GeneratorAtEveryRateAndBlockUnderAutomation) {
  for (std::size_t i = 0; i < kSweepCases.size(); ++i) {
    const SweepCase& c = kSweepCases[i];
    SCOPED_TRACE(::testing::Message() << c);
    const auto generator = host.generator(c);
    AutomationDice dice(std::uint32_t(i + 100), true);
    generator->playing = true;
    generator->runFor(kGeneratorSeconds, c.block, {}, &dice);
    generator->playing = false;
    generator->runFor(0.05, c.block);
    EXPECT_EQ(generator->audit.fault(), "");
    EXPECT_EQ(generator->audit.peak(), 0.0f);
    EXPECT_GT(generator->sent.started(), 0);
    EXPECT_EQ(generator->sent.problems(), "");
    EXPECT_EQ(generator->sent.sounding(), "");
  }
}

// Instance a is automated (no notes yet, so nothing of its history sounds), its state saved
// with changes the host made after the last block where the host allows it; a fresh b restores
// it, and both play the same notes from then on, with no automation that would overwrite what
// was restored: sample for sample the same, and the same state at the end. The synthesiser's
// parameters that depend on history stay at 0.
TEST_P(PluginSweep, SynthesiserStateRestoredMidStreamRendersTheSame) {
  // 44.1 kHz in blocks of 512, 96 kHz in blocks of 17, blocks longer than prepared.
  for (const SweepCase& c : {kSweepCases[3], kSweepCases[8], kSweepCases[12]}) {
    SCOPED_TRACE(::testing::Message() << c);
    const auto first = host.synth(c), second = host.synth(c);
    AutomationDice dice(11, true);
    // What draws on the instance's history stays at 0 from the start: a state holds no history.
    // (Non-finite automation is the sweep's above.)
    first->runFor(0.05, c.block, {}, &dice, true);
    first->automate(dice, true);
    first->deliverAutomation(c.block);
    second->deliverAutomation(c.block);
    second->restoreState(first->saveState());

    AutomationDice notes(8, false);
    const auto played = synthPerformance(c.rate, framesOf(kSweepSeconds, c.rate), notes);
    first->recording = second->recording = true;
    first->runFor(kSweepSeconds, c.block, delayed(played, first->now));
    second->runFor(kSweepSeconds, c.block, delayed(played, second->now));
    ASSERT_EQ(first->recorded.size(), second->recorded.size());
    const auto differs =
        std::mismatch(first->recorded.begin(), first->recorded.end(), second->recorded.begin());
    EXPECT_EQ(differs.first, first->recorded.end())
        << "first difference at sample " << (differs.first - first->recorded.begin());
    EXPECT_GT(first->audit.peak(), 1e-3f);
    EXPECT_EQ(second->saveState(), first->saveState());
  }
}

// The generator saved while its transport stands (its random draws are no part of the state)
// and restored in a fresh instance: from the start of the transport both send the same MIDI.
TEST_P(PluginSweep, GeneratorStateRestoredMidStreamPlaysTheSame) {
  // 44.1 kHz in blocks of 512, 48 kHz in blocks of 17.
  for (const SweepCase& c : {kSweepCases[3], kSweepCases[4]}) {
    SCOPED_TRACE(::testing::Message() << c);
    const auto first = host.generator(c), second = host.generator(c);
    AutomationDice dice(11, true);
    first->runFor(0.05, c.block, {}, &dice);
    first->automate(dice, true);
    first->deliverAutomation(c.block);
    second->restoreState(first->saveState());
    second->runFor(0.05, c.block);
    // No automation from here: it would overwrite what was restored.
    const auto play = [&c](SweepHost& generator) {
      const std::int64_t start = generator.now;
      generator.received.clear();
      generator.playing = true;
      generator.runFor(kGeneratorSeconds, c.block);
      return delayed(generator.received, -start);
    };
    const auto fromFirst = play(*first);
    EXPECT_FALSE(fromFirst.empty());
    EXPECT_EQ(fromFirst, play(*second));
  }
}

// Held notes with the pedal down, sustain full, echo and reverb tails, a long release: after
// each interruption the synthesiser falls silent, by itself or once the host ends its notes,
// and plays again.
TEST_P(PluginSweep, SynthesiserFallsSilentAfterEveryInterruption) {
  const SweepCase c{48000, 256, 256};
  for (const Interruption& interruption : kInterruptions) {
    if (!interruption.available(host.can))
      continue;
    SCOPED_TRACE(interruption.name);
    const auto synth = host.synth(c);
    for (const char* name : {"sustain", "echo", "space", "release"})
      synth->setParameter(std::string(name), 1.0f);
    const std::vector<TimedMidi> held{
        {0, {0xB0, 64, 127}}, {0, {0x90, 48, 100}}, {0, {0x90, 55, 100}}, {0, {0x90, 64, 100}}};
    synth->runFor(0.2, c.block, held);
    ASSERT_GT(synth->audit.peak(), 1e-3f);
    interruption.apply(*synth, c.block);
    if (interruption.silences(host.can)) {
      synth->runFor(0.1, c.block);
    } else {
      synth->runFor(0.05, c.block);
      for (const char* name : {"echo", "space", "release"})
        synth->setParameter(std::string(name), 0.0f);
      const std::vector<TimedMidi> released{{synth->now, {0xB0, 64, 0}},
                                            {synth->now, {0xB0, 123, 0}}};
      synth->runFor(0.5, c.block, released);
    }
    EXPECT_EQ(synth->peakOver(0.1, c.block), 0.0f);
    const std::vector<TimedMidi> again{{synth->now, {0x90, 60, 100}}};
    synth->runFor(0.1, c.block, again);
    EXPECT_GT(synth->audit.peak(), 1e-3f);
    EXPECT_EQ(synth->audit.fault(), "");
  }
}

// The generator interrupted while its notes sound: every note it started is ended, by the time
// the transport stops if not before.
TEST_P(PluginSweep, GeneratorEndsEveryNoteItStarts) {
  const SweepCase c{44100, 128, 128};
  for (const Interruption& interruption : kInterruptions) {
    if (!interruption.available(host.can))
      continue;
    SCOPED_TRACE(interruption.name);
    const auto generator = host.generator(c);
    generator->playing = true;
    for (int block = 0; block < 2000 && generator->sent.sounding().empty(); ++block)
      generator->run(c.block);
    ASSERT_NE(generator->sent.sounding(), "");
    interruption.apply(*generator, c.block);
    generator->runFor(1.0, c.block);
    generator->playing = false;
    generator->runFor(0.05, c.block);
    EXPECT_EQ(generator->sent.problems(), "");
    EXPECT_EQ(generator->sent.sounding(), "");
  }
}

// A program choice reaches the sound: the blues organ and the sub bass are far apart.
TEST_P(PluginSweep, ChoosingAProgramChangesTheSound) {
  const auto synth = host.synth({48000, 512, 512});
  synth->chooseProgram(0);
  const SoundMeasure organ = playChord(*synth);
  synth->chooseProgram(8);
  EXPECT_FALSE(playChord(*synth).near(organ, kOtherSound));
}

// A value the host sends right after a restore is its automation, to be followed even when it
// equals what the plug-in reported before the restore (all an LV2 host relays is its own).
TEST_P(PluginSweep, AutomationRightAfterARestoreIsFollowedWhateverItsValue) {
  const SweepCase c{48000, 512, 512};
  const auto tuned = host.synth(c), restored = host.synth(c), untouched = host.synth(c);
  tuned->setParameter("echo", 0.5f);
  tuned->setParameter("filterType", 1.0f); // high-pass
  tuned->run(c.block);
  restored->run(c.block); // reports the values it starts with: echo 0, low-pass
  untouched->run(c.block);
  restored->restoreState(tuned->saveState());
  restored->setParameter("echo", 0.0f);
  restored->setParameter("filterType", 0.0f);
  restored->run(c.block);
  EXPECT_EQ(restored->saveState(), untouched->saveState());
}
