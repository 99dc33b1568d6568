// The editor in the host's window, at sizes within its limits.
#include "plugins/lv2/ui/EmbeddedEditor.h"

namespace plugins::lv2 {

EmbeddedEditor::EmbeddedEditor(MadeEditor editor, const EditorSizes& sizes)
    : editor_(std::move(editor)), sizes_(sizes) {
  setOpaque(true);
  addAndMakeVisible(*editor_.owner);
  setSize(sizes.defaultWidth, sizes.defaultHeight);
}

EmbeddedEditor::~EmbeddedEditor() { removeFromDesktop(); }

void EmbeddedEditor::show(LV2UI_Widget parent) {
  // Without an X server a window cannot be made; the component works without one.
  if (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
    return;
  addToDesktop(0, parent);
  setVisible(true);
}

LV2UI_Widget EmbeddedEditor::widget() const { return isOnDesktop() ? getWindowHandle() : nullptr; }

int EmbeddedEditor::hostResized(int width, int height) {
  setSize(juce::jlimit(sizes_.minimumWidth, sizes_.maximumWidth, width),
          juce::jlimit(sizes_.minimumHeight, sizes_.maximumHeight, height));
  return 0;
}

void EmbeddedEditor::resized() { editor_.owner->setBounds(getLocalBounds()); }

void EmbeddedEditor::paint(juce::Graphics& g) { g.fillAll(juce::Colours::black); }

} // namespace plugins::lv2
