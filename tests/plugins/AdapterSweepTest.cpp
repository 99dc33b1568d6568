// The sweeps through the adapter itself, in process: blocks longer than prepared and
// non-finite automation reach it as they are.
#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "plugins/adapter/UnitProcessor.h"
#include "tests/plugins/ProcessorSweeps.h"

#include <gtest/gtest.h>

using namespace plugins;

namespace {

template <class Unit> HostFactory adapted(std::size_t parameters) {
  return hostsOf(
      [] {
        auto unit = AUAudioUnit::create<Unit>(Unit::kDescription);
        return std::make_unique<UnitProcessor>(std::move(unit).value(), "test");
      },
      parameters, true);
}

const HostFactory synth = adapted<quorvane::unit::QuorvaneAudioUnit>(kQuorvaneParameters);
const HostFactory generator = adapted<pallix::unit::PallixAudioUnit>(kPallixParameters);

} // namespace

TEST(AdapterSweep, SynthesiserAtEveryRateAndBlockUnderAutomation) {
  sweepSynthRatesAndBlocks(synth);
}

TEST(AdapterSweep, GeneratorAtEveryRateAndBlockUnderAutomation) {
  sweepGeneratorRatesAndBlocks(generator);
}

TEST(AdapterSweep, SynthesiserStateRestoredMidStreamRendersTheSame) {
  expectSynthStateRestoresMidStream(synth);
}

TEST(AdapterSweep, GeneratorStateRestoredMidStreamPlaysTheSame) {
  expectGeneratorStateRestoresMidStream(generator);
}

TEST(AdapterSweep, SynthesiserFallsSilentAfterEveryInterruption) {
  expectSynthSilentAfterInterruptions(synth);
}

TEST(AdapterSweep, GeneratorEndsEveryNoteItStarts) {
  expectGeneratorEndsEveryNote(generator, generatorInterruptions());
}
