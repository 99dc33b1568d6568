// How the generator's pop-up menus look: black system-size text, a black 1-point border with
// corners of radius 4.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace pallix::editor {

class PopupStyle : public juce::LookAndFeel_V4 {
public:
  static constexpr float kFontSize = 13.0f; // the system's standard size
  static constexpr float kCornerRadius = 4.0f;

  PopupStyle();

  void drawComboBox(juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX,
                    int buttonY, int buttonW, int buttonH, juce::ComboBox& box) override;
  juce::Font getComboBoxFont(juce::ComboBox& box) override;
  juce::Font getPopupMenuFont() override;
  void positionComboBoxText(juce::ComboBox& box, juce::Label& label) override;
};

} // namespace pallix::editor
