// The synthesiser's LV2 UI shared object: its editor over the mirror of its ports.
#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "plugins/lv2/quorvane/QuorvaneDefinition.h"
#include "plugins/lv2/ui/UiDescriptor.h"

namespace {

constexpr char kPresetsFolder[] = "Quorvane";

using plugins::lv2::EditorDefinition;
using quorvane::editor::QuorvaneAUViewControllerMac;

toolkit::AURotaryControl* knobOf(toolkit::AUViewController& editor, AUParameterAddress address) {
  return editor.knobOf(address);
}

void showProblem(toolkit::AUViewController& editor, const std::string& problem) {
  static_cast<QuorvaneAUViewControllerMac&>(editor).tuning().showProblem(
      juce::String::fromUTF8(problem.c_str()));
}

const EditorDefinition kQuorvaneEditor{
    .plugin = plugins::lv2::kQuorvaneDefinition,
    .make = plugins::lv2::makeEditor<quorvane::unit::QuorvaneAudioUnit, QuorvaneAUViewControllerMac,
                                     kPresetsFolder, quorvane::editor::kPresetBarColour>,
    .sizes = plugins::lv2::sizesOf<QuorvaneAUViewControllerMac>(),
    .knobOf = knobOf,
    .showProblem = showProblem,
};

} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
  return index == 0 ? plugins::lv2::uiDescriptorOf(kQuorvaneEditor) : nullptr;
}
