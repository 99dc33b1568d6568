// The rotary control: value, pointer angle, drag rule and images.
#include "platform/toolkit/AURotaryControl.h"

#include "platform/toolkit/ImageRendering.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace toolkit {

namespace {

constexpr float kDegreesPerRadian = 180.0f / std::numbers::pi_v<float>;

// A dark grey disc inset 2 points.
juce::Image defaultUnderlay(float width, float height, float scale) {
  return renderPlatformImage(width, height, true, [&](juce::Graphics& g) {
    g.setColour(juce::Colours::darkgrey);
    g.fillEllipse(juce::Rectangle<float>(width, height).reduced(2.0f * scale));
  });
}

// A white line 2 points wide from the centre to (width / 2, 4) in the image's y-up coordinates.
juce::Image defaultOverlay(float width, float height, float scale) {
  return renderPlatformImage(width, height, false, [&](juce::Graphics& g) {
    g.setColour(juce::Colours::white);
    g.drawLine(width / 2.0f, height / 2.0f, width / 2.0f, 4.0f * scale, 2.0f * scale);
  });
}

} // namespace

AURotaryControl::AURotaryControl() {
  setWantsKeyboardFocus(true);
  setMouseClickGrabsKeyboardFocus(true);
  updateLayers(imageScale_);
}

void AURotaryControl::setValue(float v) {
  if (!std::isfinite(v))
    return;
  v = v > upperBound ? upperBound : (v < lowerBound ? lowerBound : v);
  if (v == value_)
    return;
  value_ = v;
  repaint();
  if (onValueChanged)
    onValueChanged();
}

float AURotaryControl::angleOf(float v) const noexcept {
  if (upperBound == lowerBound)
    return lowAngle;
  return lowAngle + (v - lowerBound) * (highAngle - lowAngle) / (upperBound - lowerBound);
}

float AURotaryControl::valueAtAngle(float degrees) const noexcept {
  if (highAngle == lowAngle)
    return lowerBound;
  return lowerBound + (degrees - lowAngle) * (upperBound - lowerBound) / (highAngle - lowAngle);
}

void AURotaryControl::dragBegan() {
  dragging_ = true;
  dragHome = angleOf(value_);
  if (onDragBegan)
    onDragBegan();
}

void AURotaryControl::dragChanged(float tx, float ty) {
  if (!dragging_ || getWidth() <= 0)
    return;
  const double turn = (static_cast<double>(tx) - ty) * kDragGain /
                      (getWidth() * static_cast<double>(kSpeedFraction));
  const float angle = std::clamp(dragHome + static_cast<float>(turn) * kDegreesPerRadian,
                                 std::min(lowAngle, highAngle), std::max(lowAngle, highAngle));
  setValue(valueAtAngle(angle));
}

void AURotaryControl::dragEnded() {
  if (!dragging_)
    return;
  dragging_ = false;
  if (onDragEnded)
    onDragEnded();
}

void AURotaryControl::dragCancelled() {
  if (!dragging_)
    return;
  dragging_ = false;
  setValue(valueAtAngle(dragHome));
  if (onDragEnded)
    onDragEnded();
}

void AURotaryControl::doubleClicked() { setValue(resetValue); }

void AURotaryControl::updateLayers(float scale) {
  const float w = static_cast<float>(getWidth()), h = static_cast<float>(getHeight());
  if (w <= 0.0f || h <= 0.0f)
    return; // a collapsed control keeps its old images
  imageScale_ = scale;
  const float pw = w * scale, ph = h * scale;
  underlay_ =
      underlayImageProvider ? underlayImageProvider(pw, ph) : defaultUnderlay(pw, ph, scale);
  overlay_ = overlayImageProvider ? overlayImageProvider(pw, ph) : defaultOverlay(pw, ph, scale);
  repaint();
}

void AURotaryControl::resized() { updateLayers(imageScale_); }

void AURotaryControl::paint(juce::Graphics& g) {
  const float scale = physicalScaleOf(g);
  if (std::abs(scale - imageScale_) > 0.01f)
    updateLayers(scale);
  const float w = static_cast<float>(getWidth()), h = static_cast<float>(getHeight());
  g.setImageResamplingQuality(juce::Graphics::highResamplingQuality);
  const auto toBounds = [&](const juce::Image& image) {
    return juce::AffineTransform::scale(w / static_cast<float>(image.getWidth()),
                                        h / static_cast<float>(image.getHeight()));
  };
  if (underlay_.isValid())
    g.drawImageTransformed(underlay_, toBounds(underlay_));
  if (overlay_.isValid())
    g.drawImageTransformed(overlay_, toBounds(overlay_).rotated(pointerAngle() / kDegreesPerRadian,
                                                                w / 2.0f, h / 2.0f));
}

void AURotaryControl::mouseDown(const juce::MouseEvent&) { ignoreRestOfDrag_ = false; }

void AURotaryControl::mouseDrag(const juce::MouseEvent& event) {
  if (ignoreRestOfDrag_)
    return;
  if (!dragging_)
    dragBegan();
  const auto offset = event.getOffsetFromDragStart();
  dragChanged(static_cast<float>(offset.x), static_cast<float>(offset.y));
}

void AURotaryControl::mouseUp(const juce::MouseEvent&) {
  ignoreRestOfDrag_ = false;
  dragEnded();
}

void AURotaryControl::mouseDoubleClick(const juce::MouseEvent&) { doubleClicked(); }

void AURotaryControl::mouseWheelMove(const juce::MouseEvent&,
                                     const juce::MouseWheelDetails& wheel) {
  if (dragging_)
    return;
  const float delta =
      (std::abs(wheel.deltaY) >= std::abs(wheel.deltaX) ? wheel.deltaY : -wheel.deltaX) *
      (wheel.isReversed ? -1.0f : 1.0f);
  // JUCE reports about 0.1 to 0.25 a notch: a notch is a few steps.
  step(delta * 20.0f * kStepFraction);
}

bool AURotaryControl::keyPressed(const juce::KeyPress& key) {
  if (key == juce::KeyPress::escapeKey && dragging_) {
    ignoreRestOfDrag_ = true;
    dragCancelled();
    return true;
  }
  if (dragging_)
    return false;
  const int code = key.getKeyCode();
  if (code == juce::KeyPress::upKey || code == juce::KeyPress::rightKey) {
    step(kStepFraction);
    return true;
  }
  if (code == juce::KeyPress::downKey || code == juce::KeyPress::leftKey) {
    step(-kStepFraction);
    return true;
  }
  return false;
}

void AURotaryControl::focusLost(FocusChangeType) {
  if (!dragging_)
    return;
  ignoreRestOfDrag_ = true;
  dragCancelled();
}

void AURotaryControl::step(float fraction) {
  if (fraction == 0.0f || !std::isfinite(fraction))
    return;
  if (onDragBegan)
    onDragBegan();
  setValue(value_ + fraction * (upperBound - lowerBound));
  if (onDragEnded)
    onDragEnded();
}

} // namespace toolkit
