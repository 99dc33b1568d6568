// The same bytes as the state a VST3 host hands the plug-in (the adapter's state entry, which
// JUCE's VST3 client calls with the chunk the host stored): restoring survives them, the
// plug-in plays cleanly after it, and what it then saves restores to the same values.
#include "tests/fuzz/Vst3StateFuzz.h"

#include "plugins/adapter/UnitProcessor.h"

#include <cmath>
#include <string>

namespace fuzz {

namespace {

constexpr int kFrames = 256;
constexpr int kBlocks = 16;

std::vector<float> valuesOf(juce::AudioProcessor& processor) {
  std::vector<float> values;
  for (const auto* parameter : processor.getParameters())
    values.push_back(parameter->getValue());
  return values;
}

Verdict plays(juce::AudioProcessor& processor) {
  processor.prepareToPlay(44100.0, kFrames);
  juce::AudioBuffer<float> audio(std::max(2, processor.getTotalNumOutputChannels()), kFrames);
  for (int block = 0; block < kBlocks; ++block) {
    juce::MidiBuffer midi;
    if (block == 0)
      for (const int note : {48, 55, 64})
        midi.addEvent(juce::MidiMessage::noteOn(1, note, std::uint8_t(100)), 0);
    audio.clear();
    processor.processBlock(audio, midi);
    for (int channel = 0; channel < audio.getNumChannels(); ++channel)
      for (int i = 0; i < kFrames; ++i) {
        const float x = audio.getSample(channel, i);
        if (!std::isfinite(x) || std::fabs(x) > 1.0f)
          return "VST3 audio out of bounds: " + std::to_string(x);
      }
    for (const auto event : midi)
      if (event.samplePosition < 0 || event.samplePosition >= kFrames || event.numBytes < 1 ||
          event.numBytes > 3 || event.data[0] < 0x80)
        return "a malformed VST3 MIDI event out";
  }
  processor.releaseResources();
  return {};
}

} // namespace

Verdict vst3StateInto(const plugins::lv2::PluginDefinition& definition,
                      std::span<const std::uint8_t> bytes) {
  // The adapter's processors post to JUCE's message thread, which must exist.
  static const juce::ScopedJuceInitialiser_GUI juce;
  auto unit = definition.make(nullptr);
  if (!unit)
    return "no unit";
  plugins::UnitProcessor processor(std::move(unit), "fuzz");
  processor.setStateInformation(bytes.data(), static_cast<int>(bytes.size()));
  if (Verdict fault = plays(processor); !fault.empty())
    return fault;
  juce::MemoryBlock saved;
  processor.getStateInformation(saved);
  plugins::UnitProcessor again(definition.make(nullptr), "fuzz");
  again.setStateInformation(saved.getData(), static_cast<int>(saved.getSize()));
  if (valuesOf(again) != valuesOf(processor))
    return "what the VST3 state entry saved restores to other values";
  return {};
}

} // namespace fuzz
