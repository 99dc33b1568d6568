// The sweeps over any juce::AudioProcessor: the adapter in process and the VST3 bundles through
// JUCE's host run the same ones, and those a host's reset and re-preparing call for.
#pragma once

#include "tests/plugins/SweepChecks.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr std::size_t kQuorvaneParameters = 21;
inline constexpr std::size_t kPallixParameters = 8;

class ProcessorHost : public SweepHost, private juce::AudioPlayHead {
public:
  // The first unitParameters of the processor's parameters are the unit's; a VST3 client adds
  // its own after them.
  ProcessorHost(std::unique_ptr<juce::AudioProcessor> processor, std::size_t unitParameters,
                double rate, int maximumBlock)
      : SweepHost(rate), processor_(std::move(processor)) {
    const auto& all = processor_->getParameters();
    parameters_.assign(all.begin(), all.begin() + std::min<int>(int(unitParameters), all.size()));
    processor_->setPlayHead(this);
    prepare(rate, maximumBlock);
  }
  ~ProcessorHost() override { processor_->setPlayHead(nullptr); }

  juce::AudioProcessor& processor() noexcept { return *processor_; }
  void prepare(double newRate, int maximumBlock) {
    rate = newRate;
    processor_->setRateAndBufferSizeDetails(rate, maximumBlock);
    processor_->prepareToPlay(rate, maximumBlock);
  }

  std::size_t parameterCount() const override { return parameters_.size(); }
  std::string parameterName(std::size_t i) const override {
    return parameters_[i]->getName(100).toStdString();
  }
  void setParameter(std::size_t i, float normalised) override {
    parameters_[i]->setValue(normalised);
  }
  using SweepHost::setParameter;
  std::string saveState() override {
    juce::MemoryBlock saved;
    processor_->getStateInformation(saved);
    return {static_cast<const char*>(saved.getData()), saved.getSize()};
  }
  void restoreState(const std::string& state) override {
    processor_->setStateInformation(state.data(), static_cast<int>(state.size()));
  }

private:
  void render(int frames, std::span<const TimedMidi> due) override {
    buffer_.setSize(2, frames, false, false, true);
    buffer_.clear();
    midi_.clear();
    for (const TimedMidi& m : due)
      midi_.addEvent(m.bytes.data(), midiLength(m.bytes[0]), static_cast<int>(m.frame - now));
    processor_->processBlock(buffer_, midi_);
    for (const auto message : midi_) {
      const auto data = [&](int i) { return i < message.numBytes ? message.data[i] : 0; };
      emitted(now + message.samplePosition,
              {message.data[0], std::uint8_t(data(1)), std::uint8_t(data(2))});
    }
    for (int channel = 0; channel < buffer_.getNumChannels(); ++channel)
      heard({buffer_.getReadPointer(channel), std::size_t(frames)});
  }

  juce::Optional<PositionInfo> getPosition() const override {
    PositionInfo info;
    info.setBpm(120.0);
    info.setTimeSignature(TimeSignature{4, 4});
    info.setTimeInSamples(position);
    info.setPpqPosition(quarters());
    info.setPpqPositionOfLastBarStart(4.0 * std::floor(quarters() / 4.0));
    info.setIsPlaying(playing);
    return info;
  }

  std::unique_ptr<juce::AudioProcessor> processor_;
  std::vector<juce::AudioProcessorParameter*> parameters_;
  juce::AudioBuffer<float> buffer_;
  juce::MidiBuffer midi_;
};

// A fresh processor, and the block a host prepares it for in a case.
using ProcessorFactory = std::function<std::unique_ptr<juce::AudioProcessor>()>;

inline HostFactory hostsOf(ProcessorFactory make, std::size_t unitParameters, bool longerBlocks) {
  return [make, unitParameters, longerBlocks](const SweepCase& c) {
    // VST3 forbids blocks above the prepared size: there the host prepares for the block.
    const int prepared = longerBlocks ? c.prepared : std::max(c.prepared, c.block);
    return std::make_unique<ProcessorHost>(make(), unitParameters, c.rate, prepared);
  };
}

inline std::vector<Interruption> hostInterruptions() {
  const auto prepareAgain = [](double factor) {
    return [factor](SweepHost& host, int block) {
      auto& processor = static_cast<ProcessorHost&>(host);
      processor.processor().releaseResources();
      processor.prepare(host.rate * factor, block);
    };
  };
  return {
      {"reset",
       [](SweepHost& host, int) { static_cast<ProcessorHost&>(host).processor().reset(); }},
      {"release and prepare again", prepareAgain(1.0)},
      {"prepare again at another rate", prepareAgain(2.0)},
  };
}

// Held notes with the pedal down, sustain full, echo and reverb tails: after each interruption
// the synthesiser falls silent without a note-off, and plays again.
inline void expectSynthSilentAfterInterruptions(const HostFactory& make) {
  const SweepCase c{48000, 256, 256};
  for (const auto& interruption : hostInterruptions()) {
    SCOPED_TRACE(interruption.name);
    const auto host = make(c);
    for (const char* name : {"Sustain", "Echo", "Space", "Release"})
      host->setParameter(std::string(name), 1.0f);
    const std::vector<TimedMidi> held{
        {0, {0xB0, 64, 127}}, {0, {0x90, 48, 100}}, {0, {0x90, 55, 100}}, {0, {0x90, 64, 100}}};
    host->runFor(0.2, c.block, held);
    ASSERT_GT(host->audit.peak(), 1e-3f);
    interruption.apply(*host, c.block);
    host->runFor(0.1, c.block);
    EXPECT_EQ(host->peakOver(0.1, c.block), 0.0f);
    const std::vector<TimedMidi> again{{host->now, {0x90, 60, 100}}};
    host->runFor(0.1, c.block, again);
    EXPECT_GT(host->audit.peak(), 1e-3f);
    EXPECT_EQ(host->audit.fault(), "");
  }
}

// The generator's interruptions through a processor: the host's, a state and a program.
inline std::vector<Interruption> generatorInterruptions() {
  auto all = hostInterruptions();
  all.push_back(kKeyChangedAndStateRestored);
  all.push_back({"program chosen", [](SweepHost& host, int) {
                   static_cast<ProcessorHost&>(host).processor().setCurrentProgram(2);
                 }});
  return all;
}
