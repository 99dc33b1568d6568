// The synthesiser's LV2 definition: stereo out, MIDI in, its 21 parameters.
#include "plugins/lv2/quorvane/QuorvaneDefinition.h"

#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/foundation/Log.h"

namespace plugins::lv2 {

namespace {

std::shared_ptr<AUAudioUnit>
makeSynthesiser(std::shared_ptr<const FactoryPresetCatalogue> presets) {
  using quorvane::unit::QuorvaneAudioUnit;
  foundation::Log::quietenForPlugin(); // before the unit reads its resources
  auto unit = AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription, 0,
                                                     std::move(presets));
  return unit ? std::shared_ptr<AUAudioUnit>(std::move(unit).value()) : nullptr;
}

} // namespace

const PluginDefinition kQuorvaneDefinition{
    .uri = "https://orrinbrook.org/plugins/quorvane",
    .name = "Quorvane",
    .lv2Class = "InstrumentPlugin",
    .parameters = quorvane::dsp::kQuorvaneParameters,
    .audioOutput = true,
    .passesMidi = false,
    .presetFolder = "presets",
    .make = makeSynthesiser,
};

} // namespace plugins::lv2
