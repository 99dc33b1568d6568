// The synthesiser as an LV2 and VST3 instrument.
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "plugins/adapter/UnitPlugin.h"

using quorvane::unit::QuorvaneAudioUnit;

static_assert(hasUnitCodes<QuorvaneAudioUnit>(JucePlugin_ManufacturerCode, JucePlugin_PluginCode));

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter() {
  return makeUnitProcessor<QuorvaneAudioUnit>(JucePlugin_Name);
}
