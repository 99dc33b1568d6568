// The sweeps through both VST3 bundles of the build tree, loaded by JUCE's VST3 host: a block
// longer than prepared comes after preparing again, as VST3 requires.
#include "tests/plugins/JuceEnvironment.h"
#include "tests/plugins/ProcessorSweeps.h"

#include <gtest/gtest.h>

namespace {

HostFactory loaded(const char* bundle, std::size_t parameters) {
  return hostsOf(
      [bundle]() -> std::unique_ptr<juce::AudioProcessor> { return loadVst3(bundle).instance; },
      parameters, false);
}

const HostFactory synth = loaded(QUORVANE_VST3_BUNDLE, kQuorvaneParameters);
const HostFactory generator = loaded(PALLIX_VST3_BUNDLE, kPallixParameters);

} // namespace

TEST(Vst3Sweep, SynthesiserAtEveryRateAndBlockUnderAutomation) { sweepSynthRatesAndBlocks(synth); }

TEST(Vst3Sweep, GeneratorAtEveryRateAndBlockUnderAutomation) {
  sweepGeneratorRatesAndBlocks(generator);
}

TEST(Vst3Sweep, SynthesiserStateRestoredMidStreamRendersTheSame) {
  expectSynthStateRestoresMidStream(synth);
}

TEST(Vst3Sweep, GeneratorStateRestoredMidStreamPlaysTheSame) {
  expectGeneratorStateRestoresMidStream(generator);
}

// The host's reset stops processing (the plug-in's reset), then deactivates and activates it
// (releaseResources and prepareToPlay).
TEST(Vst3Sweep, SynthesiserFallsSilentAfterEveryInterruption) {
  expectSynthSilentAfterInterruptions(synth);
}

TEST(Vst3Sweep, GeneratorEndsEveryNoteItStarts) {
  expectGeneratorEndsEveryNote(generator, generatorInterruptions());
}
