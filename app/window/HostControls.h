// The main window's colours, fonts and the few controls JUCE lacks in the form the window
// wants: rounded push buttons, outlined buttons and a stepper.
#pragma once

#include "platform/toolkit/HouseStyle.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace app {

inline const juce::Colour kDarkGreen{34, 85, 36};
inline const juce::Colour kLightGreen{57, 142, 60};
// The mean of the two greens: 45.5, 113.5, 48.
inline const juce::Colour kPressedGreen =
    juce::Colour::fromFloatRGBA(45.5f / 255.0f, 113.5f / 255.0f, 48.0f / 255.0f, 1.0f);

using toolkit::kBezel;
using toolkit::kBezelEdge;
using toolkit::kBezelText;
using toolkit::RoundedButton;
using toolkit::semiboldFont;

// No bezel: a white border 2 wide with corner radius 4 and a white title; its background is
// filled while lit (the HOLD button).
class OutlinedButton : public juce::Button {
public:
  explicit OutlinedButton(const juce::String& title);
  void setLitColour(std::optional<juce::Colour> colour);
  std::optional<juce::Colour> litColour() const noexcept { return lit_; }
  void paintButton(juce::Graphics& g, bool highlighted, bool down) override;

private:
  juce::Font font_;
  std::optional<juce::Colour> lit_;
};

// Up and down arrows that step a whole value within minimum … maximum. It stops at its ends
// (JUCE has no stepper whose default could wrap).
class TempoStepper : public juce::Component {
public:
  TempoStepper(int minimum, int maximum, int value);
  int value() const noexcept { return value_; }
  void setValue(int value);
  // Called after a click changed the value.
  std::function<void()> onChange;

  void paint(juce::Graphics& g) override;
  void mouseDown(const juce::MouseEvent& event) override;

private:
  int minimum_, maximum_, value_;
};

// A white label without background or border.
void styleLabel(juce::Label& label, const juce::String& text, float points,
                juce::Justification justification);

} // namespace app
