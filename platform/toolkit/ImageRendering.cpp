// Rendering images from drawing functions.
#include "platform/toolkit/ImageRendering.h"

#include <cmath>

namespace toolkit {

namespace {

// Whole pixels covering size; 0 for anything below one pixel or not finite.
int pixelsFor(float size) {
  if (!std::isfinite(size) || size < 1.0f)
    return 0;
  return static_cast<int>(std::ceil(size - 1e-3f));
}

} // namespace

juce::Image renderPlatformImage(float width, float height, bool flipped,
                                const std::function<void(juce::Graphics&)>& draw) {
  const int w = pixelsFor(width), h = pixelsFor(height);
  if (w == 0 || h == 0)
    return {};
  juce::Image image(juce::Image::ARGB, w, h, true);
  if (!draw)
    return image;
  juce::Graphics g(image);
  if (!flipped)
    g.addTransform(juce::AffineTransform::verticalFlip(static_cast<float>(h)));
  draw(g);
  return image;
}

juce::Image transparentImage(float width, float height) {
  return renderPlatformImage(width, height, true, {});
}

float physicalScaleOf(juce::Graphics& g) {
  const float scale = g.getInternalContext().getPhysicalPixelScaleFactor();
  return std::isfinite(scale) && scale > 0.0f ? scale : 1.0f;
}

} // namespace toolkit
