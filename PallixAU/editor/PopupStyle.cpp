// The generator's pop-up style.
#include "PallixAU/editor/PopupStyle.h"

#include "platform/toolkit/HouseStyle.h"

namespace pallix::editor {

PopupStyle::PopupStyle() {
  setColour(juce::ComboBox::textColourId, juce::Colours::black);
  setColour(juce::ComboBox::backgroundColourId, juce::Colours::white);
  setColour(juce::ComboBox::outlineColourId, juce::Colours::black);
  setColour(juce::ComboBox::arrowColourId, juce::Colours::black);
  setColour(juce::PopupMenu::backgroundColourId, juce::Colours::white);
  setColour(juce::PopupMenu::textColourId, juce::Colours::black);
  setColour(juce::PopupMenu::highlightedBackgroundColourId, juce::Colour(0xff3478f6));
  setColour(juce::PopupMenu::highlightedTextColourId, juce::Colours::white);
}

void PopupStyle::drawComboBox(juce::Graphics& g, int width, int height, bool, int, int, int, int,
                              juce::ComboBox& box) {
  const auto bounds = juce::Rectangle<float>(static_cast<float>(width), static_cast<float>(height));
  g.setColour(box.findColour(juce::ComboBox::backgroundColourId));
  g.fillRoundedRectangle(bounds.reduced(0.5f), kCornerRadius);
  g.setColour(box.findColour(juce::ComboBox::outlineColourId));
  g.drawRoundedRectangle(bounds.reduced(0.5f), kCornerRadius, 1.0f);
  // A small chevron at the right, as a pop-up button shows.
  const float cx = static_cast<float>(width) - 12.0f, cy = static_cast<float>(height) / 2.0f;
  juce::Path arrow;
  arrow.startNewSubPath(cx - 4.0f, cy - 2.0f);
  arrow.lineTo(cx, cy + 2.0f);
  arrow.lineTo(cx + 4.0f, cy - 2.0f);
  g.setColour(box.findColour(juce::ComboBox::arrowColourId));
  g.strokePath(arrow, juce::PathStrokeType(1.5f));
  // Where Tab or a click left the keys: arrows then change the choice.
  if (box.hasKeyboardFocus(false))
    toolkit::drawFocusRing(g, bounds);
}

juce::Font PopupStyle::getComboBoxFont(juce::ComboBox&) { return juce::Font(kFontSize); }

juce::Font PopupStyle::getPopupMenuFont() { return juce::Font(kFontSize); }

void PopupStyle::positionComboBoxText(juce::ComboBox& box, juce::Label& label) {
  label.setBounds(4, 1, box.getWidth() - 24, box.getHeight() - 2);
  label.setFont(getComboBoxFont(box));
}

} // namespace pallix::editor
