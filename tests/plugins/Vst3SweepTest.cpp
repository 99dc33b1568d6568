// The sweeps through both VST3 bundles of the build tree, loaded by JUCE's VST3 host: a block
// longer than prepared comes after preparing again, as VST3 requires.
#include "tests/plugins/JuceEnvironment.h"
#include "tests/plugins/ProcessorSweeps.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

ProcessorFactory loaded(const char* bundle) {
  return [bundle]() -> std::unique_ptr<juce::AudioProcessor> {
    static std::map<std::string, juce::PluginDescription> scanned;
    juce::VST3PluginFormat format;
    if (!scanned.contains(bundle)) {
      juce::OwnedArray<juce::PluginDescription> types;
      format.findAllTypesForFile(types,
                                 juce::String(std::filesystem::weakly_canonical(bundle).string()));
      if (types.size() != 1)
        throw std::runtime_error(std::string("cannot scan ") + bundle);
      scanned[bundle] = *types[0];
    }
    juce::String error;
    auto instance = format.createInstanceFromDescription(scanned[bundle], 48000, 512, error);
    if (!instance)
      throw std::runtime_error(error.toStdString());
    return instance;
  };
}

const ProcessorFactory vst3Quorvane = loaded(QUORVANE_VST3_BUNDLE);
const ProcessorFactory vst3Pallix = loaded(PALLIX_VST3_BUNDLE);

} // namespace

TEST(Vst3Sweep, SynthesiserAtEveryRateAndBlockUnderAutomation) {
  sweepSynthRatesAndBlocks(vst3Quorvane, false);
}

TEST(Vst3Sweep, GeneratorAtEveryRateAndBlockUnderAutomation) {
  sweepGeneratorRatesAndBlocks(vst3Pallix, false);
}

TEST(Vst3Sweep, SynthesiserStateRestoredMidStreamRendersTheSame) {
  expectSynthStateRestoresMidStream(vst3Quorvane, false);
}

TEST(Vst3Sweep, GeneratorStateRestoredMidStreamPlaysTheSame) {
  expectGeneratorStateRestoresMidStream(vst3Pallix);
}

// The host's reset stops processing (the plug-in's reset), then deactivates and activates it
// (releaseResources and prepareToPlay).
TEST(Vst3Sweep, SynthesiserFallsSilentAfterEveryInterruption) {
  expectSynthSilentAfterInterruptions(vst3Quorvane);
}

TEST(Vst3Sweep, GeneratorEndsEveryNoteItStarts) { expectGeneratorEndsEveryNote(vst3Pallix); }
