// The rotary control: value, pointer angle, drag rule and images.
#include "platform/toolkit/AURotaryControl.h"

#include "platform/toolkit/HouseStyle.h"
#include "platform/toolkit/ImageRendering.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace toolkit {

namespace {

constexpr float kDegreesPerRadian = 180.0f / std::numbers::pi_v<float>;

const juce::Colour kReadoutFill{0xff1e1e1e}; // opaque: the name under it must not show
const juce::Colour kRefused{0xffe0403a};

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
  if (keyboardFocused_ && hasKeyboardFocus(true))
    drawFocusRing(g, getLocalBounds().toFloat());
  if (showsValue())
    paintValue(g);
}

// Over the name at the foot of the face, which it stands for while shown.
void AURotaryControl::paintValue(juce::Graphics& g) {
  const float w = static_cast<float>(getWidth()), h = static_cast<float>(getHeight());
  const juce::Font font = semiboldFont(std::clamp(h * 0.1f, 9.0f, 18.0f));
  const juce::String text = valueText(value_);
  const float textHeight = font.getHeight();
  // As wide as the longest names, so none shows round it.
  const float pillWidth =
      std::min(w, std::max(font.getStringWidthFloat(text) + textHeight, 0.86f * w));
  const float pillHeight = std::min(h, std::max(textHeight + 4.0f, 0.17f * h));
  const juce::Rectangle<float> pill((w - pillWidth) / 2.0f, h - pillHeight - h * 0.01f, pillWidth,
                                    pillHeight);
  g.setColour(kReadoutFill);
  g.fillRoundedRectangle(pill, pillHeight / 2.0f);
  g.setColour(juce::Colours::white);
  g.setFont(font);
  g.drawFittedText(text, pill.toNearestInt(), juce::Justification::centred, 1, 0.8f);
}

bool AURotaryControl::showsValue() const noexcept {
  return valueText && !isValueFieldOpen() &&
         (hovered_ || dragging_ || recentlyTurned_ || forcedShown_);
}

void AURotaryControl::setValueShown(bool shown) {
  forcedShown_ = shown;
  repaint();
}

void AURotaryControl::openValueField() {
  if (!valueText)
    return;
  if (!field_) {
    field_ = std::make_unique<juce::TextEditor>("value");
    field_->setJustification(juce::Justification::centred);
    field_->setSelectAllWhenFocused(true);
    field_->onReturnKey = [this] { acceptValueField(); };
    field_->onEscapeKey = [this] { closeValueField(); };
    // Clicking elsewhere gives up the typing, as Escape does.
    field_->onFocusLost = [this] { closeValueField(); };
    addChildComponent(*field_);
  }
  const float w = static_cast<float>(getWidth()), h = static_cast<float>(getHeight());
  const float fieldHeight = std::clamp(h * 0.22f, 18.0f, 30.0f);
  field_->setFont(semiboldFont(fieldHeight * 0.55f));
  field_->setBounds(
      juce::Rectangle<float>(w * 0.06f, (h - fieldHeight) / 2.0f, w * 0.88f, fieldHeight)
          .toNearestInt());
  field_->setColour(juce::TextEditor::outlineColourId, juce::Colours::black);
  field_->setColour(juce::TextEditor::focusedOutlineColourId, juce::Colours::black);
  field_->setText(valueText(value_), false);
  field_->selectAll();
  field_->setVisible(true);
  if (isShowing())
    field_->grabKeyboardFocus();
  repaint();
}

bool AURotaryControl::acceptValueField() {
  if (!isValueFieldOpen())
    return false;
  if (onTextEntered && !onTextEntered(field_->getText())) {
    field_->setColour(juce::TextEditor::outlineColourId, kRefused);
    field_->setColour(juce::TextEditor::focusedOutlineColourId, kRefused);
    field_->repaint();
    return false;
  }
  closeValueField();
  return true;
}

void AURotaryControl::closeValueField() {
  if (!isValueFieldOpen())
    return;
  const bool hadFocus = field_->hasKeyboardFocus(false);
  field_->setVisible(false);
  if (hadFocus && isShowing())
    grabKeyboardFocus();
  repaint();
}

void AURotaryControl::mouseDown(const juce::MouseEvent& event) {
  keyboardFocused_ = false;
  ignoreRestOfDrag_ = false;
  if (event.mods.isPopupMenu() || event.mods.isCtrlDown()) {
    ignoreRestOfDrag_ = true; // the press opens the field; it turns nothing
    openValueField();
  }
}

void AURotaryControl::mouseEnter(const juce::MouseEvent&) {
  hovered_ = true;
  repaint();
}

void AURotaryControl::mouseExit(const juce::MouseEvent&) {
  hovered_ = false;
  repaint();
}

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

void AURotaryControl::mouseDoubleClick(const juce::MouseEvent& event) {
  if (!event.mods.isPopupMenu() && !event.mods.isCtrlDown())
    doubleClicked();
}

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
  const bool used = [&] {
    if (code == juce::KeyPress::upKey || code == juce::KeyPress::rightKey)
      step(kStepFraction);
    else if (code == juce::KeyPress::downKey || code == juce::KeyPress::leftKey)
      step(-kStepFraction);
    else if (code == juce::KeyPress::pageUpKey)
      step(kPageFraction);
    else if (code == juce::KeyPress::pageDownKey)
      step(-kPageFraction);
    else if (code == juce::KeyPress::homeKey)
      turnTo(lowerBound);
    else if (code == juce::KeyPress::endKey)
      turnTo(upperBound);
    else if (code == juce::KeyPress::returnKey && valueText)
      openValueField();
    else
      return false;
    return true;
  }();
  if (used && !keyboardFocused_) {
    keyboardFocused_ = true;
    repaint();
  }
  return used;
}

void AURotaryControl::focusGained(FocusChangeType cause) {
  keyboardFocused_ = cause == focusChangedByTabKey;
  repaint();
}

void AURotaryControl::focusLost(FocusChangeType) {
  repaint();
  if (!dragging_)
    return;
  ignoreRestOfDrag_ = true;
  dragCancelled();
}

void AURotaryControl::step(float fraction) {
  if (fraction == 0.0f || !std::isfinite(fraction))
    return;
  turnTo(value_ + fraction * (upperBound - lowerBound));
}

void AURotaryControl::turnTo(float value) {
  if (onDragBegan)
    onDragBegan();
  setValue(value);
  if (onDragEnded)
    onDragEnded();
  recentlyTurned_ = true;
  startTimer(kTurnShowMs);
  repaint();
}

void AURotaryControl::timerCallback() {
  stopTimer();
  recentlyTurned_ = false;
  repaint();
}

} // namespace toolkit
