// The blues generator as a VST3 MIDI effect, with its own editor.
#include "PallixAU/editor/PallixAUViewControllerMac.h"
#include "PallixAU/unit/PallixAudioUnit.h"
#include "platform/foundation/UserFolders.h"
#include "plugins/adapter/UnitPlugin.h"

using pallix::editor::PallixAUViewControllerMac;
using pallix::unit::PallixAudioUnit;

static_assert(plugins::hasUnitCodes<PallixAudioUnit>(JucePlugin_ManufacturerCode,
                                                     JucePlugin_PluginCode));

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter() {
  plugins::UnitEditorOptions sizes;
  sizes.defaultWidth = PallixAUViewControllerMac::kDefaultWidth;
  sizes.defaultHeight = PallixAUViewControllerMac::kDefaultHeight;
  sizes.minimumWidth = PallixAUViewControllerMac::kMinimumWidth;
  sizes.minimumHeight = PallixAUViewControllerMac::kMinimumHeight;
  sizes.maximumWidth = PallixAUViewControllerMac::kMaximumWidth;
  sizes.maximumHeight = PallixAUViewControllerMac::kMaximumHeight;
  return plugins::makeUnitProcessor<PallixAudioUnit>(
      JucePlugin_Name,
      plugins::unitEditorWithPresets<PallixAudioUnit, PallixAUViewControllerMac>(
          sizes, foundation::userPresetsFolder("Pallix"), pallix::editor::kPresetBarColour),
      JucePlugin_WantsMidiInput != 0);
}
