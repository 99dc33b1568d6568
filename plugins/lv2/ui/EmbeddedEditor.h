// A unit's editor in the window an LV2 host gives it.
#pragma once

#include "platform/toolkit/AUViewController.h"
#include "plugins/lv2/ui/EditorDefinition.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <lv2/ui/ui.h>

#include <memory>

namespace plugins::lv2 {

// The editor fills it, at its default size to begin with. With a parent (ui:parent) it is a
// child window of the host's; without one it is a window of its own, which the host may
// reparent; where there is no display at all it has no window (a widget of 0), and the editor
// still shows the unit to whoever asks its controls. Sizes the host asks for are held within
// the editor's limits; the window follows whatever size the host gives it.
// Threads: message thread.
class EmbeddedEditor : public juce::Component {
public:
  EmbeddedEditor(MadeEditor editor, const EditorSizes& sizes);
  ~EmbeddedEditor() override;

  // Puts it on the desktop: into parent (an X11 window), or as a window of its own.
  void show(LV2UI_Widget parent);
  // The X11 window, as LV2 hands widgets of X11 UIs over.
  LV2UI_Widget widget() const;

  // The host's new size (ui:resize), within the limits. 0, as ui:resize answers.
  int hostResized(int width, int height);

  toolkit::AUViewController& editor() noexcept { return *editor_.editor; }
  toolkit::EditorWithPresets& owner() noexcept { return *editor_.owner; }

  void resized() override;
  void paint(juce::Graphics& g) override;

private:
  MadeEditor editor_;
  EditorSizes sizes_;
};

} // namespace plugins::lv2
