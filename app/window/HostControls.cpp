// Drawing the main window's own controls.
#include "app/window/HostControls.h"

#include <algorithm>

namespace app {

OutlinedButton::OutlinedButton(const juce::String& title)
    : juce::Button(title), font_(semiboldFont(14.0f)) {}

void OutlinedButton::setLitColour(std::optional<juce::Colour> colour) {
  lit_ = colour;
  repaint();
}

void OutlinedButton::paintButton(juce::Graphics& g, bool, bool down) {
  constexpr float kBorder = 2.0f, kRadius = 4.0f;
  const auto area = getLocalBounds().toFloat().reduced(kBorder / 2);
  if (lit_)
    g.setColour(*lit_), g.fillRoundedRectangle(area, kRadius);
  else if (down)
    g.setColour(juce::Colours::white.withAlpha(0.15f)), g.fillRoundedRectangle(area, kRadius);
  g.setColour(juce::Colours::white);
  g.drawRoundedRectangle(area, kRadius, kBorder);
  g.setFont(font_);
  g.drawText(getButtonText(), getLocalBounds(), juce::Justification::centred, false);
}

TempoStepper::TempoStepper(int minimum, int maximum, int value)
    : minimum_(minimum), maximum_(maximum), value_(std::clamp(value, minimum, maximum)) {}

void TempoStepper::setValue(int value) { value_ = std::clamp(value, minimum_, maximum_); }

void TempoStepper::paint(juce::Graphics& g) {
  const auto area = getLocalBounds().toFloat().reduced(3.0f, 1.0f);
  g.setColour(kBezel);
  g.fillRoundedRectangle(area, 4.0f);
  g.setColour(kBezelEdge);
  g.drawRoundedRectangle(area, 4.0f, 1.0f);
  g.drawHorizontalLine(int(area.getCentreY()), area.getX(), area.getRight());
  const float cx = area.getCentreX(), w = std::min(area.getWidth() * 0.5f, 8.0f);
  const float upY = area.getY() + area.getHeight() * 0.25f;
  const float downY = area.getY() + area.getHeight() * 0.75f;
  juce::Path arrows;
  arrows.addTriangle(cx - w / 2, upY + 2, cx + w / 2, upY + 2, cx, upY - 2);
  arrows.addTriangle(cx - w / 2, downY - 2, cx + w / 2, downY - 2, cx, downY + 2);
  g.setColour(kBezelText);
  g.fillPath(arrows);
}

void TempoStepper::mouseDown(const juce::MouseEvent& event) {
  const int step = event.position.y < getHeight() / 2.0f ? 1 : -1;
  const int before = value_;
  setValue(value_ + step);
  if (value_ != before && onChange)
    onChange();
}

void styleLabel(juce::Label& label, const juce::String& text, float points,
                juce::Justification justification) {
  label.setText(text, juce::dontSendNotification);
  label.setFont(semiboldFont(points));
  label.setJustificationType(justification);
  label.setColour(juce::Label::textColourId, juce::Colours::white);
  label.setColour(juce::Label::backgroundColourId, juce::Colours::transparentBlack);
  label.setColour(juce::Label::outlineColourId, juce::Colours::transparentBlack);
  label.setBorderSize({});
  label.setInterceptsMouseClicks(false, false);
}

} // namespace app
