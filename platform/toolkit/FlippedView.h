// The root view of both editors: a plain component filled with one colour.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace toolkit {

// Frames in the editors' layouts are given in a y-down coordinate system whose origin is the
// view's top-left corner, which is JUCE's own: a frame (x, y, w, h) is setBounds(x, y, w, h)
// with no flipping. The only y-up coordinates left are inside images that the layouts name
// as such (the rotary control's default pointer), and those say so where they are drawn.
// Threads: message thread, as every component.
class FlippedView : public juce::Component {
public:
  explicit FlippedView(juce::Colour background = juce::Colours::transparentBlack);

  juce::Colour backgroundColour() const noexcept { return background_; }
  void setBackgroundColour(juce::Colour colour);

  void paint(juce::Graphics& g) override;

private:
  juce::Colour background_;
};

} // namespace toolkit
