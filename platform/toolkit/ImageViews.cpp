// Image views and image buttons.
#include "platform/toolkit/ImageViews.h"

#include "platform/toolkit/HouseStyle.h"
#include "platform/toolkit/ImageRendering.h"

#include <cmath>

namespace toolkit {

void ScaledImage::setProvider(ImageProvider provider) {
  provider_ = std::move(provider);
  stale_ = true;
}

void ScaledImage::update(juce::Rectangle<int> bounds, float scale) {
  if (bounds.getWidth() <= 0 || bounds.getHeight() <= 0)
    return;
  if (!stale_ && bounds.getWidth() == renderedBounds_.getWidth() &&
      bounds.getHeight() == renderedBounds_.getHeight() && std::abs(scale - renderedScale_) < 0.01f)
    return;
  stale_ = false;
  renderedBounds_ = bounds;
  renderedScale_ = scale;
  image_ = provider_ ? provider_(static_cast<float>(bounds.getWidth()) * scale,
                                 static_cast<float>(bounds.getHeight()) * scale)
                     : juce::Image();
}

void ScaledImage::draw(juce::Graphics& g, juce::Rectangle<float> bounds) const {
  if (!image_.isValid())
    return;
  g.setImageResamplingQuality(juce::Graphics::highResamplingQuality);
  g.drawImage(image_, bounds, juce::RectanglePlacement::centred);
}

ImageView::ImageView() { setInterceptsMouseClicks(false, false); }

void ImageView::setImageProvider(ImageProvider provider) {
  image_.setProvider(std::move(provider));
  image_.update(getLocalBounds(), scale_);
  repaint();
}

void ImageView::resized() { image_.update(getLocalBounds(), scale_); }

void ImageView::paint(juce::Graphics& g) {
  scale_ = physicalScaleOf(g);
  image_.update(getLocalBounds(), scale_);
  image_.draw(g, getLocalBounds().toFloat());
}

ImageButton::ImageButton(int tag) : juce::Button({}), tag_(tag) {}

void ImageButton::setImageProvider(ImageProvider provider) {
  image_.setProvider(std::move(provider));
  image_.update(getLocalBounds(), scale_);
  repaint();
}

void ImageButton::resized() { image_.update(getLocalBounds(), scale_); }

void ImageButton::paintButton(juce::Graphics& g, bool, bool) {
  scale_ = physicalScaleOf(g);
  image_.update(getLocalBounds(), scale_);
  image_.draw(g, getLocalBounds().toFloat());
  if (tabbedTo_ && hasKeyboardFocus(false))
    drawFocusRing(g, getLocalBounds().toFloat().expanded(1.0f));
}

void ImageButton::focusGained(FocusChangeType cause) {
  tabbedTo_ = cause == focusChangedByTabKey;
  juce::Button::focusGained(cause);
  repaint();
}

void ImageButton::focusLost(FocusChangeType cause) {
  juce::Button::focusLost(cause);
  repaint();
}

} // namespace toolkit
