// What a plug-in definition needs: its unit made and wrapped for the host.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/foundation/Log.h"
#include "platform/toolkit/EditorWithPresets.h"
#include "plugins/adapter/UnitProcessor.h"

namespace plugins {

// A new processor over a new Unit, or null when the unit cannot be made (the host then
// reports the plug-in as failing to load). A plug-in passes midiInput as its project declares
// it (JucePlugin_WantsMidiInput), so that the processor and JUCE's VST3 client, which reads the
// declaration, agree.
template <class Unit>
juce::AudioProcessor* makeUnitProcessor(const char* name, UnitEditorOptions editor = {},
                                        std::optional<bool> midiInput = std::nullopt) {
  foundation::Log::quietenForPlugin(); // before the unit reads its resources
  auto unit = AUAudioUnit::create<Unit>(Unit::kDescription);
  if (!unit)
    return nullptr;
  return new UnitProcessor(std::move(unit).value(), name, std::move(editor), midiInput);
}

// Editor options whose content is an Editor (a component with setAudioUnit) showing the unit.
template <class Editor> UnitEditorOptions unitEditor(UnitEditorOptions sizes) {
  sizes.make = [](std::shared_ptr<AUAudioUnit> unit) -> std::unique_ptr<juce::Component> {
    auto editor = std::make_unique<Editor>();
    editor->setAudioUnit(std::move(unit));
    return editor;
  };
  return sizes;
}

// The same with the preset bar over the editor; the sizes are the editor's, the bar's height
// added. User presets live in userFolder under Unit's state key.
template <class Unit, class Editor>
UnitEditorOptions unitEditorWithPresets(UnitEditorOptions sizes,
                                        std::optional<std::filesystem::path> userFolder,
                                        juce::Colour barColour) {
  constexpr int bar = toolkit::PresetBar::kHeight;
  sizes.defaultHeight += bar, sizes.minimumHeight += bar, sizes.maximumHeight += bar;
  sizes.make = [userFolder,
                barColour](std::shared_ptr<AUAudioUnit> unit) -> std::unique_ptr<juce::Component> {
    auto editor =
        toolkit::makeEditorWithPresets<Editor>(userFolder, std::string(Unit::kStateKey), barColour);
    editor->setAudioUnit(std::move(unit));
    return editor;
  };
  return sizes;
}

// The plug-in's codes are the unit's: hosts identify it by them (VST3 class IDs derive from
// them), so they must never drift apart.
template <class Unit> constexpr bool hasUnitCodes(OSType manufacturer, OSType subtype) {
  return Unit::kDescription.componentManufacturer == manufacturer &&
         Unit::kDescription.componentSubType == subtype;
}

} // namespace plugins
