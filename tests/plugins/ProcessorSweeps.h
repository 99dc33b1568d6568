// The sweeps a plug-in validator runs, over any juce::AudioProcessor: the adapter in process and
// the VST3 bundles through JUCE's host run the same ones.
#pragma once

#include "tests/plugins/ProcessorHost.h"
#include "tests/plugins/SweepChecks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr std::size_t kQuorvaneParameters = 21;
inline constexpr std::size_t kPallixParameters = 8;

using ProcessorFactory = std::function<std::unique_ptr<juce::AudioProcessor>()>;

// VST3 forbids blocks above the prepared size: there the host prepares for the block.
inline int preparedFor(const SweepCase& c, bool longerBlocks) {
  return longerBlocks ? c.prepared : std::max(c.prepared, c.block);
}

// Every rate and block of the table, every parameter automated in every block: no bad sample,
// and the notes are heard.
inline void sweepSynthRatesAndBlocks(const ProcessorFactory& make, bool longerBlocks) {
  for (std::size_t i = 0; i < kSweepCases.size(); ++i) {
    const SweepCase& c = kSweepCases[i];
    SCOPED_TRACE(::testing::Message() << c);
    auto synth = make();
    ProcessorHost host(*synth, kQuorvaneParameters);
    host.prepare(c.rate, preparedFor(c, longerBlocks));
    AutomationDice dice(std::uint32_t(i + 1), true);
    const auto played = synthPerformance(c.rate, framesOf(kSweepSeconds, c.rate), dice);
    host.runFor(kSweepSeconds, c.block, played, &dice);
    EXPECT_EQ(host.audit.fault(), "");
    EXPECT_GT(host.audit.peak(), 0.0f);
  }
}

// The generator with its transport rolling and stopping, automated in every block: silent
// audio, well-formed notes, each ended by the time the transport has stopped.
inline void sweepGeneratorRatesAndBlocks(const ProcessorFactory& make, bool longerBlocks) {
  for (std::size_t i = 0; i < kSweepCases.size(); ++i) {
    const SweepCase& c = kSweepCases[i];
    SCOPED_TRACE(::testing::Message() << c);
    auto generator = make();
    ProcessorHost host(*generator, kPallixParameters);
    host.prepare(c.rate, preparedFor(c, longerBlocks));
    AutomationDice dice(std::uint32_t(i + 100), true);
    host.transport().playing = true;
    host.runFor(kGeneratorSeconds, c.block, {}, &dice);
    host.transport().playing = false;
    host.runFor(0.05, c.block);
    EXPECT_EQ(host.audit.fault(), "");
    EXPECT_EQ(host.audit.peak(), 0.0f);
    EXPECT_GT(host.sent.started(), 0);
    EXPECT_EQ(host.sent.problems(), "");
    EXPECT_EQ(host.sent.sounding(), "");
  }
}

// Instance a is automated (no notes yet, so nothing of its history sounds), its state saved
// with changes the host made after the last block; a fresh b restores it, and both play the
// same notes under the same automation from then on: sample for sample the same. The
// synthesiser's parameters that depend on history stay at 0.
inline void expectSynthStateRestoresMidStream(const ProcessorFactory& make, bool longerBlocks) {
  // 44.1 kHz in blocks of 512, 96 kHz in blocks of 17, blocks longer than prepared.
  for (const SweepCase& c : {kSweepCases[3], kSweepCases[8], kSweepCases[12]}) {
    SCOPED_TRACE(::testing::Message() << c);
    auto a = make(), b = make();
    ProcessorHost first(*a, kQuorvaneParameters), second(*b, kQuorvaneParameters);
    first.prepare(c.rate, preparedFor(c, longerBlocks));
    second.prepare(c.rate, preparedFor(c, longerBlocks));
    AutomationDice dice(7, true);
    first.runFor(0.05, c.block, {}, &dice);
    first.automate(dice, true);
    juce::MemoryBlock saved;
    a->getStateInformation(saved);
    b->setStateInformation(saved.getData(), int(saved.getSize()));

    AutomationDice notes(8, false), automation(9, false), same(9, false);
    const auto played = synthPerformance(c.rate, framesOf(kSweepSeconds, c.rate), notes);
    first.recording = second.recording = true;
    first.runFor(kSweepSeconds, c.block, delayed(played, first.now()), &automation, true);
    second.runFor(kSweepSeconds, c.block, delayed(played, second.now()), &same, true);
    ASSERT_EQ(first.recorded.size(), second.recorded.size());
    const auto differs =
        std::mismatch(first.recorded.begin(), first.recorded.end(), second.recorded.begin());
    EXPECT_EQ(differs.first, first.recorded.end())
        << "first difference at sample " << (differs.first - first.recorded.begin());
    EXPECT_GT(first.audit.peak(), 1e-3f);
  }
}

// The generator saved while its transport stands (its random draws are no part of the state)
// and restored in a fresh instance: from the start of the transport both send the same MIDI.
inline void expectGeneratorStateRestoresMidStream(const ProcessorFactory& make) {
  // 44.1 kHz in blocks of 512, 48 kHz in blocks of 17.
  for (const SweepCase& c : {kSweepCases[3], kSweepCases[4]}) {
    SCOPED_TRACE(::testing::Message() << c);
    auto a = make(), b = make();
    ProcessorHost first(*a, kPallixParameters), second(*b, kPallixParameters);
    first.prepare(c.rate, c.block);
    second.prepare(c.rate, c.block);
    AutomationDice dice(11, true);
    first.runFor(0.05, c.block, {}, &dice);
    first.automate(dice, true);
    juce::MemoryBlock saved;
    a->getStateInformation(saved);
    b->setStateInformation(saved.getData(), int(saved.getSize()));
    second.runFor(0.05, c.block);

    AutomationDice automation(12, false), same(12, false);
    first.transport().playing = second.transport().playing = true;
    first.runFor(kGeneratorSeconds, c.block, {}, &automation, true);
    second.runFor(kGeneratorSeconds, c.block, {}, &same, true);
    EXPECT_FALSE(first.received.empty());
    EXPECT_EQ(first.received, second.received);
  }
}

// What a host does to a plug-in while notes sound.
struct Interruption {
  const char* name;
  std::function<void(ProcessorHost&, double rate, int block)> apply;
};

inline std::vector<Interruption> hostInterruptions() {
  return {
      {"reset", [](ProcessorHost& host, double, int) { host.processor().reset(); }},
      {"release and prepare again",
       [](ProcessorHost& host, double rate, int block) {
         host.processor().releaseResources();
         host.prepare(rate, block);
       }},
      {"prepare again at another rate",
       [](ProcessorHost& host, double rate, int block) {
         host.processor().releaseResources();
         host.prepare(rate * 2, block);
       }},
  };
}

// Held notes with the pedal down, sustain full, echo and reverb tails: after each interruption
// the synthesiser falls silent without a note-off, and plays again.
inline void expectSynthSilentAfterInterruptions(const ProcessorFactory& make) {
  constexpr double kRate = 48000;
  constexpr int kBlock = 256;
  for (const auto& interruption : hostInterruptions()) {
    SCOPED_TRACE(interruption.name);
    auto synth = make();
    ProcessorHost host(*synth, kQuorvaneParameters);
    host.prepare(kRate, kBlock);
    for (auto* parameter : host.parameters()) {
      const std::string name = parameter->getName(100).toStdString();
      if (name == "Sustain" || name == "Echo" || name == "Space" || name == "Release")
        parameter->setValue(1.0f);
    }
    const std::vector<TimedMidi> held{
        {0, {0xB0, 64, 127}}, {0, {0x90, 48, 100}}, {0, {0x90, 55, 100}}, {0, {0x90, 64, 100}}};
    host.runFor(0.2, kBlock, held);
    ASSERT_GT(host.audit.peak(), 1e-3f);
    interruption.apply(host, kRate, kBlock);
    host.runFor(0.1, kBlock);
    EXPECT_EQ(host.peakOver(0.1, kBlock), 0.0f);
    const std::vector<TimedMidi> again{{host.now(), {0x90, 60, 100}}};
    host.runFor(0.1, kBlock, again);
    EXPECT_GT(host.audit.peak(), 1e-3f);
    EXPECT_EQ(host.audit.fault(), "");
  }
}

// The generator interrupted while its notes sound, by the host or by a state or program
// chosen: every note it started is ended, by the time the transport stops if not before.
inline void expectGeneratorEndsEveryNote(const ProcessorFactory& make) {
  constexpr double kRate = 44100;
  constexpr int kBlock = 128;
  auto interruptions = hostInterruptions();
  // The key changes while notes sound, and changes back with a state saved before.
  interruptions.push_back({"state restored", [](ProcessorHost& host, double, int block) {
                             juce::MemoryBlock before;
                             host.processor().getStateInformation(before);
                             host.parameters()[6]->setValue(0.5f); // root note
                             host.parameters()[7]->setValue(1.0f); // minor
                             host.run(block);
                             host.processor().setStateInformation(before.getData(),
                                                                  int(before.getSize()));
                           }});
  interruptions.push_back({"program chosen", [](ProcessorHost& host, double, int) {
                             host.processor().setCurrentProgram(2);
                           }});
  for (const auto& interruption : interruptions) {
    SCOPED_TRACE(interruption.name);
    auto generator = make();
    ProcessorHost host(*generator, kPallixParameters);
    host.prepare(kRate, kBlock);
    host.transport().playing = true;
    for (int block = 0; block < 2000 && host.sent.sounding().empty(); ++block)
      host.run(kBlock);
    ASSERT_NE(host.sent.sounding(), "");
    interruption.apply(host, kRate, kBlock);
    host.runFor(1.0, kBlock);
    host.transport().playing = false;
    host.runFor(0.05, kBlock);
    EXPECT_EQ(host.sent.problems(), "");
    EXPECT_EQ(host.sent.sounding(), "");
  }
}
