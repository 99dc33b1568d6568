// Any juce::AudioProcessor run as a sweep host: the adapter in process and the VST3 bundles
// through JUCE's host.
#pragma once

#include "tests/plugins/SweepChecks.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr std::size_t kQuorvaneParameters = 22;
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
  void reset() override { processor_->reset(); }
  void reactivate(double newRate, int block) override {
    processor_->releaseResources();
    prepare(newRate, block);
  }
  void chooseProgram(int index) override { processor_->setCurrentProgram(index); }

private:
  void render(int frames, std::span<const TimedMidi> due) override {
    buffer_.setSize(2, frames, false, false, true);
    buffer_.clear();
    midi_.clear();
    for (const TimedMidi& m : due)
      midi_.addEvent(m.bytes.data(), midiLength(m.bytes[0]), static_cast<int>(m.time - now));
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

// A fresh processor of one plug-in.
using ProcessorFactory = std::function<std::unique_ptr<juce::AudioProcessor>()>;

// Both plug-ins as processors. Where blocks may not exceed the prepared size (VST3), the host
// prepares for the block it runs.
inline PluginHost processorHost(std::string name, ProcessorFactory synth,
                                ProcessorFactory generator, bool longerBlocks) {
  const auto hosts = [longerBlocks](ProcessorFactory make, std::size_t parameters) {
    return [make, parameters, longerBlocks](const SweepCase& c) {
      const int prepared = longerBlocks ? c.prepared : std::max(c.prepared, c.block);
      return std::make_unique<ProcessorHost>(make(), parameters, c.rate, prepared);
    };
  };
  return {std::move(name), hosts(std::move(synth), kQuorvaneParameters),
          hosts(std::move(generator), kPallixParameters),
          HostCan{.reset = true, .changeRate = true, .silenceByReactivating = true}};
}
