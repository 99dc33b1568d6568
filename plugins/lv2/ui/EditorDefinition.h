// What an LV2 UI of a unit is made of: the plug-in it edits, the unit's own editor and the
// sizes that editor takes.
#pragma once

#include "platform/foundation/UserFolders.h"
#include "platform/toolkit/AURotaryControl.h"
#include "platform/toolkit/AUViewController.h"
#include "platform/toolkit/EditorWithPresets.h"
#include "plugins/lv2/PluginDefinition.h"

#include <memory>

namespace plugins::lv2 {

struct EditorSizes {
  int defaultWidth, defaultHeight;
  int minimumWidth, minimumHeight;
  int maximumWidth, maximumHeight;
};

// An editor, and the component that owns it and is shown: the editor with its preset bar.
struct MadeEditor {
  std::unique_ptr<toolkit::EditorWithPresets> owner;
  toolkit::AUViewController* editor;
};

struct EditorDefinition {
  const PluginDefinition& plugin;
  // A new editor, showing no unit yet. Message thread.
  MadeEditor (*make)();
  EditorSizes sizes;
  // The knob that shows the parameter at an address, if any, its position the parameter's
  // (foundation::positionOfValue). May be null; only our tests ask.
  toolkit::AURotaryControl* (*knobOf)(toolkit::AUViewController& editor,
                                      AUParameterAddress address) = nullptr;
  // Shows why what the editor changed of the unit's extras could not reach the plug-in. May be
  // null.
  void (*showProblem)(toolkit::AUViewController& editor, const std::string& problem) = nullptr;
};

// The sizes an editor class declares of itself, with the preset bar's height added.
template <class Editor> constexpr EditorSizes sizesOf() {
  constexpr int bar = toolkit::PresetBar::kHeight;
  return {Editor::kDefaultWidth,        Editor::kDefaultHeight + bar, Editor::kMinimumWidth,
          Editor::kMinimumHeight + bar, Editor::kMaximumWidth,        Editor::kMaximumHeight + bar};
}

// Editor with its preset bar, for Unit's presets in the user's folder named folderName.
template <class Unit, class Editor, const char* folderName, const juce::Colour& barColour>
MadeEditor makeEditor() {
  auto made = toolkit::makeEditorWithPresets<Editor>(foundation::userPresetsFolder(folderName),
                                                     std::string(Unit::kStateKey), barColour);
  toolkit::AUViewController* editor = &made->editor();
  return {std::move(made), editor};
}

} // namespace plugins::lv2
