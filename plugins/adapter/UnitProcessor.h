// One JUCE audio processor over any audio unit: what VST3 hosts load.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/RenderEventList.h"
#include "plugins/adapter/MidiOutputCollector.h"
#include "plugins/adapter/PlayHeadPosition.h"
#include "plugins/adapter/UnitEditorOptions.h"
#include "plugins/adapter/UnitParameters.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace plugins {

// Everything it does follows from the unit's own interface: its type (instrument or MIDI
// processor), busses, parameter tree, presets, state and render block.
// A restored state wins over a program chosen before it, whatever order the host's copies of
// that choice arrive in: VST3 hosts hand the program and the values it announced back to the
// plug-in later (JUCE's client passes values announced off its message thread to the host with
// the next process call, restore or not, and Ardour sends them back about a second later), so
// what a restore replaced is dropped when it comes back (see UnitParameter).
// A MIDI processor that takes MIDI in passes it on: each incoming message leaves at its own
// position, among the unit's, and where both fall on one position the incoming ones come first
// (they were there before the unit played). An instrument keeps what it plays.
// The editor is the unit's own when the definition gives one (a generic one otherwise); its
// size is kept in the state, beside the unit's, under kEditorSizeKey, which units ignore.
// Threads: as juce::AudioProcessor. processBlock never allocates, locks or does I/O.
class UnitProcessor : public juce::AudioProcessor {
public:
  // Render events per call beyond one per parameter: incoming MIDI messages.
  static constexpr std::size_t kMidiEventCapacity = 2048;
  // MIDI messages the unit may send in one host block.
  static constexpr std::size_t kMidiOutputCapacity = 2048;

  // The state's dictionary entry with the editor's size: {width, height}.
  static constexpr const char* kEditorSizeKey = "pluginEditorSize";

  // midiInput: whether hosts may send MIDI in; by default, when the unit is an instrument or a
  // MIDI-driven effect or processor.
  UnitProcessor(std::shared_ptr<AUAudioUnit> unit, juce::String name, UnitEditorOptions editor = {},
                std::optional<bool> midiInput = std::nullopt);
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

  // The editor's size: the last one shown or restored, else the default. Any thread.
  juce::Point<int> editorSize() const noexcept;
  void setEditorSize(int width, int height) noexcept;
  // Message thread: passes the host's parameter changes on to the unit's observers.
  void showHostChanges() { parameters_.showHostChanges(); }

private:
  static BusesProperties bussesOf(AUAudioUnit& unit);
  void renderSlice(juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi, int start,
                   int frames, bool firstSlice) noexcept;
  void forgetSupersededAfter(int frames) noexcept;

  std::shared_ptr<AUAudioUnit> unit_;
  juce::String name_;
  bool acceptsMidi_;
  bool passesMidi_;
  UnitEditorOptions editorOptions_;
  std::atomic<int> editorWidth_, editorHeight_;
  UnitParameters parameters_;
  std::vector<AUAudioUnitPreset> presets_;
  RenderEventList events_;
  MidiOutputCollector midiOutput_;
  hosting::TransportFollower playHead_;
  AURenderBlock render_;
  AURenderPullInputBlock pullInput_;
  int maximumFrames_ = 0;
  AUEventSampleTime sampleTime_ = 0;
  std::atomic<int> requestedProgram_{-1};  // the host's last program choice
  std::atomic<int> supersededProgram_{-1}; // the one a restored state replaced
  // Frames to render until the host's copies of what a restore replaced count as new.
  std::atomic<std::int64_t> framesUntilForgotten_{0};
};

} // namespace plugins
