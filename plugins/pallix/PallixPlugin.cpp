// The blues generator as an LV2 and VST3 MIDI effect.
#include "PallixAU/unit/PallixAudioUnit.h"
#include "plugins/adapter/UnitPlugin.h"

using pallix::unit::PallixAudioUnit;

static_assert(hasUnitCodes<PallixAudioUnit>(JucePlugin_ManufacturerCode, JucePlugin_PluginCode));

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter() {
  return makeUnitProcessor<PallixAudioUnit>(JucePlugin_Name);
}
