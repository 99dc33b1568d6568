// One JUCE audio processor over any audio unit: what LV2 and VST3 hosts load.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/RenderEventList.h"
#include "plugins/adapter/MidiOutputCollector.h"
#include "plugins/adapter/PlayHeadFollower.h"
#include "plugins/adapter/UnitParameters.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// Everything it does follows from the unit's own interface: its type (instrument or MIDI
// processor), busses, parameter tree, presets, state and render block.
// A restored state wins over a program chosen before it, whatever order the host's copies of
// that choice arrive in. JUCE's VST3 client hands values announced off its message thread to
// the host with the next process call, a restore in between or not; so a program chosen there
// is announced on the message thread instead, with the values current then, and a restore
// before that drops the announcement. What a host still relays of a choice a restore replaced
// is dropped when it comes back (see UnitParameter).
// Threads: as juce::AudioProcessor. processBlock never allocates, locks or does I/O.
class UnitProcessor : public juce::AudioProcessor, private juce::AsyncUpdater {
public:
  // Render events per call beyond one per parameter: incoming MIDI messages.
  static constexpr std::size_t kMidiEventCapacity = 2048;
  // MIDI messages the unit may send in one host block.
  static constexpr std::size_t kMidiOutputCapacity = 2048;

  UnitProcessor(std::shared_ptr<AUAudioUnit> unit, juce::String name);
  ~UnitProcessor() override;

  AUAudioUnit& unit() const noexcept { return *unit_; }

  const juce::String getName() const override { return name_; }
  bool isBusesLayoutSupported(const BusesLayout& layout) const override;
  void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
  void releaseResources() override;
  void processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
  using juce::AudioProcessor::processBlock;
  void reset() override;

  double getTailLengthSeconds() const override { return unit_->tailTime(); }
  bool acceptsMidi() const override;
  bool producesMidi() const override { return !unit_->MIDIOutputNames().empty(); }
  bool isMidiEffect() const override;

  bool hasEditor() const override { return true; }
  juce::AudioProcessorEditor* createEditor() override;

  int getNumPrograms() override;
  int getCurrentProgram() override;
  void setCurrentProgram(int index) override;
  const juce::String getProgramName(int index) override;
  void changeProgramName(int, const juce::String&) override {}

  void getStateInformation(juce::MemoryBlock& destination) override;
  void setStateInformation(const void* data, int size) override;

private:
  static BusesProperties bussesOf(AUAudioUnit& unit);
  void handleAsyncUpdate() override { parameters_.announceAll(); }
  void renderSlice(juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi, int start,
                   int frames, bool firstSlice) noexcept;
  void forgetSupersededAfterBlock() noexcept;

  std::shared_ptr<AUAudioUnit> unit_;
  juce::String name_;
  UnitParameters parameters_;
  std::vector<AUAudioUnitPreset> presets_;
  RenderEventList events_;
  MidiOutputCollector midiOutput_;
  PlayHeadFollower playHead_;
  AURenderBlock render_;
  AURenderPullInputBlock pullInput_;
  int maximumFrames_ = 0;
  AUEventSampleTime sampleTime_ = 0;
  std::atomic<int> requestedProgram_{-1};  // the host's last program choice
  std::atomic<int> supersededProgram_{-1}; // the one a restored state replaced
  // Render blocks until the host's relayed copies of what a restore replaced count as new.
  std::atomic<int> blocksUntilForgotten_{0};
};
