// The synthesiser's LV2 definition: stereo out, MIDI in, its parameters, and the tuning kept in
// the state and changed from the editor.
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

using quorvane::unit::QuorvaneAudioUnit;

void saveTuning(const AUAudioUnit& unit, foundation::PropertyList::Dictionary& into) {
  static_cast<const QuorvaneAudioUnit&>(unit).writeTuning(into);
}

void restoreTuning(AUAudioUnit& unit, const foundation::PropertyList* from) {
  static_cast<QuorvaneAudioUnit&>(unit).readTuning(from);
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
    .saveExtras = saveTuning,
    .restoreExtras = restoreTuning,
    .editorChangesExtras = true,
};

} // namespace plugins::lv2
