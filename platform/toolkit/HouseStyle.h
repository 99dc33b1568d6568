// The house style the views share: the semibold font, the push button of the app's top bar and
// the plug-ins' preset bars, and the ring around a control the keyboard has reached.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace toolkit {

// The bezel's colours, for the controls drawn in its style.
inline const juce::Colour kBezel{0xfff4f4f4};
inline const juce::Colour kBezelDown{0xffd8d8d8};
inline const juce::Colour kBezelEdge{0x59000000};
inline const juce::Colour kBezelText{0xff1e1e1e};

// Around a control that has the keyboard focus by Tab or by keys.
void drawFocusRing(juce::Graphics& g, juce::Rectangle<float> bounds);

// The system font at size points, semibold where the typeface has that weight, bold otherwise.
juce::Font semiboldFont(float points);

// A push button with a light rounded bezel and a dark title.
class RoundedButton : public juce::Button {
public:
  RoundedButton(const juce::String& title, float fontPoints);
  void paintButton(juce::Graphics& g, bool highlighted, bool down) override;

private:
  juce::Font font_;
};

} // namespace toolkit
