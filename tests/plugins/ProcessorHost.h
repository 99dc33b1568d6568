// A host for sweeps over any juce::AudioProcessor: the adapter itself or a loaded VST3 plug-in.
// It runs blocks of any length with a transport, MIDI in and automation, and audits what
// comes out.
#pragma once

#include "tests/plugins/SweepChecks.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

// 120 quarters a minute in 4/4; the position moves with the frames run while playing.
class SweepPlayHead : public juce::AudioPlayHead {
public:
  juce::Optional<PositionInfo> getPosition() const override {
    PositionInfo info;
    const double quarters = static_cast<double>(samples) / (rate * 0.5);
    info.setBpm(120.0);
    info.setTimeSignature(TimeSignature{4, 4});
    info.setTimeInSamples(samples);
    info.setPpqPosition(quarters);
    info.setPpqPositionOfLastBarStart(4.0 * std::floor(quarters / 4.0));
    info.setIsPlaying(playing);
    return info;
  }

  double rate = 48000.0;
  std::int64_t samples = 0;
  bool playing = false;
};

class ProcessorHost {
public:
  // The first unitParameters of the processor's parameters are the unit's; a VST3 client adds
  // its own after them.
  ProcessorHost(juce::AudioProcessor& processor, std::size_t unitParameters)
      : processor_(processor) {
    const auto& all = processor.getParameters();
    parameters_.assign(all.begin(), all.begin() + std::min<int>(int(unitParameters), all.size()));
    processor_.setPlayHead(&playHead_);
  }
  ~ProcessorHost() { processor_.setPlayHead(nullptr); }

  juce::AudioProcessor& processor() noexcept { return processor_; }
  const std::vector<juce::AudioProcessorParameter*>& parameters() const noexcept {
    return parameters_;
  }
  SweepPlayHead& transport() noexcept { return playHead_; }
  std::int64_t now() const noexcept { return now_; }

  void prepare(double rate, int maximumBlock) {
    playHead_.rate = rate;
    processor_.setRateAndBufferSizeDetails(rate, maximumBlock);
    processor_.prepareToPlay(rate, maximumBlock);
  }

  // Every unit parameter from the dice; with inRangeOnly, only values the plug-in keeps as
  // they are, and the synthesiser's parameters that depend on history at 0.
  void automate(AutomationDice& dice, bool inRangeOnly = false) {
    for (auto* parameter : parameters_) {
      if (inRangeOnly && dependsOnHistory(parameter->getName(100).toStdString()))
        parameter->setValue(0.0f);
      else
        parameter->setValue(inRangeOnly ? dice.nextInRange() : dice.next());
    }
  }

  // One host block: the messages of schedule (in time order) that fall in it, rendered;
  // the MIDI the plug-in sends goes to sent (and received), its samples to audit (and recorded).
  void run(int frames, std::span<const TimedMidi> schedule = {}) {
    buffer_.setSize(2, frames, false, false, true);
    buffer_.clear();
    midi_.clear();
    const auto first =
        std::lower_bound(schedule.begin(), schedule.end(), now_,
                         [](const TimedMidi& m, std::int64_t frame) { return m.frame < frame; });
    for (auto m = first; m != schedule.end() && m->frame < now_ + frames; ++m)
      midi_.addEvent(m->bytes.data(), midiLength(m->bytes[0]), static_cast<int>(m->frame - now_));
    processor_.processBlock(buffer_, midi_);
    for (const auto message : midi_) {
      const std::int64_t time = now_ + message.samplePosition;
      const std::uint8_t* d = message.data;
      const auto data = [&](int i) { return i < message.numBytes ? d[i] : std::uint8_t(0); };
      sent.add(time, d[0], data(1), data(2));
      received.push_back({time, {d[0], data(1), data(2)}});
    }
    for (int channel = 0; channel < buffer_.getNumChannels(); ++channel) {
      const std::span samples(buffer_.getReadPointer(channel), std::size_t(frames));
      audit.add(samples);
      if (recording)
        recorded.insert(recorded.end(), samples.begin(), samples.end());
    }
    now_ += frames;
    if (playHead_.playing)
      playHead_.samples += frames;
  }

  // Runs blocks of blockSize until seconds have passed.
  void runFor(double seconds, int blockSize, std::span<const TimedMidi> schedule = {},
              AutomationDice* dice = nullptr, bool inRangeOnly = false) {
    const std::int64_t end = now_ + framesOf(seconds, playHead_.rate);
    while (now_ < end) {
      if (dice)
        automate(*dice, inRangeOnly);
      run(static_cast<int>(std::min<std::int64_t>(blockSize, end - now_)), schedule);
    }
  }

  // The loudest sample of the next seconds without any input.
  float peakOver(double seconds, int blockSize) {
    audit.restartPeak();
    runFor(seconds, blockSize);
    return audit.peak();
  }

  SampleAudit audit;
  NoteLedger sent;
  std::vector<TimedMidi> received;
  bool recording = false;
  std::vector<float> recorded;

private:
  juce::AudioProcessor& processor_;
  std::vector<juce::AudioProcessorParameter*> parameters_;
  SweepPlayHead playHead_;
  juce::AudioBuffer<float> buffer_;
  juce::MidiBuffer midi_;
  std::int64_t now_ = 0;
};
