// The generator's LV2 UI shared object: its editor over the mirror of its ports.
#include "PallixAU/editor/PallixAUViewControllerMac.h"
#include "PallixAU/unit/PallixAudioUnit.h"
#include "plugins/lv2/pallix/PallixDefinition.h"
#include "plugins/lv2/ui/UiDescriptor.h"

namespace {

constexpr char kPresetsFolder[] = "Pallix";

using pallix::editor::PallixAUViewControllerMac;

const plugins::lv2::EditorDefinition kPallixEditor{
    .plugin = plugins::lv2::kPallixDefinition,
    .make = plugins::lv2::makeEditor<pallix::unit::PallixAudioUnit, PallixAUViewControllerMac,
                                     kPresetsFolder, pallix::editor::kPresetBarColour>,
    .sizes = plugins::lv2::sizesOf<PallixAUViewControllerMac>(),
};

} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
  return index == 0 ? plugins::lv2::uiDescriptorOf(kPallixEditor) : nullptr;
}
