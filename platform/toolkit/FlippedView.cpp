// The editors' root view.
#include "platform/toolkit/FlippedView.h"

namespace toolkit {

FlippedView::FlippedView(juce::Colour background) : background_(background) {
  setOpaque(background_.isOpaque());
}

void FlippedView::setBackgroundColour(juce::Colour colour) {
  if (colour == background_)
    return;
  background_ = colour;
  setOpaque(background_.isOpaque());
  repaint();
}

void FlippedView::paint(juce::Graphics& g) { g.fillAll(background_); }

} // namespace toolkit
