// The sweeps through the adapter itself, in process: blocks longer than prepared and
// non-finite automation reach it as they are.
#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "plugins/adapter/UnitProcessor.h"
#include "tests/plugins/ProcessorSweeps.h"

#include <gtest/gtest.h>

namespace {

template <class Unit> ProcessorFactory adapted() {
  return [] {
    auto unit = AUAudioUnit::create<Unit>(Unit::kDescription);
    return std::make_unique<UnitProcessor>(std::move(unit).value(), "test");
  };
}

const ProcessorFactory adaptedQuorvane = adapted<quorvane::unit::QuorvaneAudioUnit>();
const ProcessorFactory adaptedPallix = adapted<pallix::unit::PallixAudioUnit>();

} // namespace

TEST(AdapterSweep, SynthesiserAtEveryRateAndBlockUnderAutomation) {
  sweepSynthRatesAndBlocks(adaptedQuorvane, true);
}

TEST(AdapterSweep, GeneratorAtEveryRateAndBlockUnderAutomation) {
  sweepGeneratorRatesAndBlocks(adaptedPallix, true);
}

TEST(AdapterSweep, SynthesiserStateRestoredMidStreamRendersTheSame) {
  expectSynthStateRestoresMidStream(adaptedQuorvane, true);
}

TEST(AdapterSweep, GeneratorStateRestoredMidStreamPlaysTheSame) {
  expectGeneratorStateRestoresMidStream(adaptedPallix);
}

TEST(AdapterSweep, SynthesiserFallsSilentAfterEveryInterruption) {
  expectSynthSilentAfterInterruptions(adaptedQuorvane);
}

TEST(AdapterSweep, GeneratorEndsEveryNoteItStarts) { expectGeneratorEndsEveryNote(adaptedPallix); }
