// The pitch-bend strip's drag, spring-back and drawing.
#include "app/window/PitchBendView.h"

#include <algorithm>
#include <cmath>

namespace app {

PitchBendView::PitchBendView() {
  setOpaque(false);
  setWantsKeyboardFocus(false);
  setMouseClickGrabsKeyboardFocus(false);
}

PitchBendView::~PitchBendView() { stopTimer(); }

int PitchBendView::bendValue(double dividerY, double height) noexcept {
  const double bend = std::round((height - dividerY) * kMaximumBend / height);
  return static_cast<int>(std::clamp(bend, 0.0, static_cast<double>(kMaximumBend)));
}

void PitchBendView::sendBend() {
  const double h = getHeight();
  if (h <= 0)
    return;
  const int bend = bendValue(dividerY_, h);
  if (bend == lastSentBend_)
    return;
  lastSentBend_ = bend;
  if (onPitchBend)
    onPitchBend(bend);
}

void PitchBendView::placeDivider(double y) {
  dividerY_ = std::clamp(y, 0.0, std::max(static_cast<double>(getHeight()), 0.0));
}

void PitchBendView::resized() {
  if (!isInteracting_ && !isTimerRunning()) {
    dividerY_ = getHeight() / 2.0;
    hasDividerBeenInitialized_ = true;
    repaint();
  } else if (!hasDividerBeenInitialized_) {
    dividerY_ = getHeight() / 2.0;
    hasDividerBeenInitialized_ = true;
  }
}

void PitchBendView::pressAt(double y) {
  isInteracting_ = true;
  stopTimer();
  placeDivider(y);
  sendBend();
  repaint();
}

void PitchBendView::dragTo(double y) {
  if (!isInteracting_)
    return;
  placeDivider(y);
  sendBend();
  repaint();
}

void PitchBendView::release() {
  if (!isInteracting_)
    return;
  isInteracting_ = false;
  stopTimer();
  returnTarget_ = getHeight() / 2.0;
  startTimerHz(kTicksPerSecond);
}

void PitchBendView::tick() {
  if (std::abs(returnTarget_ - dividerY_) < 0.5) {
    dividerY_ = returnTarget_;
    sendBend();
    repaint();
    stopTimer();
    return;
  }
  dividerY_ += (returnTarget_ - dividerY_) * kReturnFraction;
  sendBend();
  repaint();
}

void PitchBendView::mouseDown(const juce::MouseEvent& event) { pressAt(event.position.y); }
void PitchBendView::mouseDrag(const juce::MouseEvent& event) { dragTo(event.position.y); }
void PitchBendView::mouseUp(const juce::MouseEvent&) { release(); }

void PitchBendView::paint(juce::Graphics& g) {
  const double width = getWidth();
  const double height = getHeight();
  if (width <= 0 || height <= 0)
    return;
  const double w = strokeWidth;
  const juce::PathStrokeType stroke(static_cast<float>(w), juce::PathStrokeType::mitered);
  g.setColour(strokeColor);

  juce::Path box;
  box.addRectangle(getLocalBounds().toFloat().reduced(static_cast<float>(w / 2)));
  g.strokePath(box, stroke);

  const double y = std::clamp(dividerY_, w / 2, std::max(height - w / 2, w / 2));
  juce::Path divider;
  divider.startNewSubPath(static_cast<float>(w / 2), static_cast<float>(y));
  divider.lineTo(static_cast<float>(width - w / 2), static_cast<float>(y));
  g.strokePath(divider, stroke);
}

} // namespace app
