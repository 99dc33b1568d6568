// The synthesiser as a VST3 instrument, with its own editor.
#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/foundation/UserFolders.h"
#include "plugins/adapter/UnitPlugin.h"

using quorvane::editor::QuorvaneAUViewControllerMac;
using quorvane::unit::QuorvaneAudioUnit;

static_assert(plugins::hasUnitCodes<QuorvaneAudioUnit>(JucePlugin_ManufacturerCode,
                                                       JucePlugin_PluginCode));

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter() {
  plugins::UnitEditorOptions sizes;
  sizes.defaultWidth = QuorvaneAUViewControllerMac::kDefaultWidth;
  sizes.defaultHeight = QuorvaneAUViewControllerMac::kDefaultHeight;
  sizes.minimumWidth = QuorvaneAUViewControllerMac::kMinimumWidth;
  sizes.minimumHeight = QuorvaneAUViewControllerMac::kMinimumHeight;
  sizes.maximumWidth = QuorvaneAUViewControllerMac::kMaximumWidth;
  sizes.maximumHeight = QuorvaneAUViewControllerMac::kMaximumHeight;
  return plugins::makeUnitProcessor<QuorvaneAudioUnit>(
      JucePlugin_Name,
      plugins::unitEditorWithPresets<QuorvaneAudioUnit, QuorvaneAUViewControllerMac>(
          sizes, foundation::userPresetsFolder("Quorvane"), quorvane::editor::kPresetBarColour),
      JucePlugin_WantsMidiInput != 0);
}
