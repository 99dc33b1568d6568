// The generator's LV2 definition: MIDI in and out, no audio, its eight parameters, and the
// forced family kept in the state.
#include "plugins/lv2/pallix/PallixDefinition.h"

#include "PallixAU/engine/PallixParameters.h"
#include "PallixAU/unit/PallixAudioUnit.h"
#include "platform/foundation/Log.h"

namespace plugins::lv2 {

namespace {

using pallix::unit::PallixAudioUnit;

constexpr const char* kForcedFamilyKey = "forcedFamily";
constexpr std::size_t kLongestFamily = 256;

std::shared_ptr<AUAudioUnit> makeGenerator(std::shared_ptr<const FactoryPresetCatalogue> presets) {
  foundation::Log::quietenForPlugin(); // before the unit reads its resources
  auto unit =
      AUAudioUnit::create<PallixAudioUnit>(PallixAudioUnit::kDescription, 0, std::move(presets));
  return unit ? std::shared_ptr<AUAudioUnit>(std::move(unit).value()) : nullptr;
}

void saveFamily(const AUAudioUnit& unit, foundation::PropertyList::Dictionary& into) {
  if (const auto family = static_cast<const PallixAudioUnit&>(unit).forcedFamily())
    into[kForcedFamilyKey] = foundation::PropertyList(*family);
}

void restoreFamily(AUAudioUnit& unit, const foundation::PropertyList* from) {
  const foundation::PropertyList* family = from ? from->find(kForcedFamilyKey) : nullptr;
  const std::string* name = family ? family->string() : nullptr;
  // The unit clears the restriction for a name it does not know.
  static_cast<PallixAudioUnit&>(unit).setForcedFamily(
      name && name->size() <= kLongestFamily ? std::optional(*name) : std::nullopt);
}

} // namespace

const PluginDefinition kPallixDefinition{
    .uri = "https://orrinbrook.org/plugins/pallix",
    .name = "Pallix",
    .lv2Class = "MIDIPlugin",
    .parameters = pallix::engine::kPallixParameters,
    .audioOutput = false,
    .passesMidi = true,
    .presetFolder = "pallix-presets",
    .make = makeGenerator,
    .saveExtras = saveFamily,
    .restoreExtras = restoreFamily,
};

} // namespace plugins::lv2
