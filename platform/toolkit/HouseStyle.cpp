// Drawing the house style.
#include "platform/toolkit/HouseStyle.h"

#include <algorithm>

namespace toolkit {

void drawFocusRing(juce::Graphics& g, juce::Rectangle<float> bounds) {
  g.setColour(juce::Colour(0xffffd479));
  g.drawRoundedRectangle(bounds.reduced(1.5f), 6.0f, 2.0f);
}

juce::Font semiboldFont(float points) {
  juce::Font font(juce::Font::getDefaultSansSerifFontName(), 12.0f, juce::Font::plain);
  const juce::StringArray styles = juce::Font::findAllTypefaceStyles(font.getTypefaceName());
  if (styles.contains("SemiBold"))
    font.setTypefaceStyle("SemiBold");
  else if (styles.contains("Semibold"))
    font.setTypefaceStyle("Semibold");
  else
    font.setBold(true);
  return font.withPointHeight(points);
}

RoundedButton::RoundedButton(const juce::String& title, float fontPoints)
    : juce::Button(title), font_(semiboldFont(fontPoints)) {}

void RoundedButton::paintButton(juce::Graphics& g, bool highlighted, bool down) {
  const auto area = getLocalBounds().toFloat().reduced(1.0f);
  const float radius = std::min(5.0f, area.getHeight() / 2);
  g.setColour(down ? kBezelDown : (highlighted ? kBezel.brighter(0.05f) : kBezel));
  g.fillRoundedRectangle(area, radius);
  g.setColour(kBezelEdge);
  g.drawRoundedRectangle(area, radius, 1.0f);
  g.setColour(isEnabled() ? kBezelText : kBezelText.withAlpha(0.4f));
  g.setFont(font_);
  g.drawText(getButtonText(), getLocalBounds(), juce::Justification::centred, false);
}

} // namespace toolkit
