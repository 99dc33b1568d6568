// What an LV2 UI of a unit is made of: the plug-in it edits, the unit's own editor and the
// sizes that editor takes.
#pragma once

#include "platform/toolkit/AURotaryControl.h"
#include "platform/toolkit/AUViewController.h"
#include "plugins/lv2/PluginDefinition.h"

#include <memory>

namespace plugins::lv2 {

struct EditorSizes {
  int defaultWidth, defaultHeight;
  int minimumWidth, minimumHeight;
  int maximumWidth, maximumHeight;
};

// An editor, and the component that owns it (the editor itself: its destructor is not public
// as a view controller's).
struct MadeEditor {
  std::unique_ptr<juce::Component> owner;
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
};

// The sizes an editor class declares of itself.
template <class Editor> constexpr EditorSizes sizesOf() {
  return {Editor::kDefaultWidth,  Editor::kDefaultHeight, Editor::kMinimumWidth,
          Editor::kMinimumHeight, Editor::kMaximumWidth,  Editor::kMaximumHeight};
}

template <class Editor> MadeEditor makeEditor() {
  auto editor = std::make_unique<Editor>();
  toolkit::AUViewController* controller = editor.get();
  return {std::move(editor), controller};
}

} // namespace plugins::lv2
