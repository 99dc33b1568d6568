// Images drawn from a function at a given size.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>

namespace toolkit {

// A width × height ARGB image (sizes rounded up to whole pixels), cleared to transparent, then
// drawn by draw with a context whose origin is the image's top-left corner and y axis points
// down. With flipped false the context is turned so the y axis points up from the bottom-left
// corner, for drawings made in y-up coordinates. A size below one pixel gives an invalid (null)
// image and draw is not called. Message thread or any thread that owns the image.
juce::Image renderPlatformImage(float width, float height, bool flipped,
                                const std::function<void(juce::Graphics&)>& draw);

// A fully transparent image of that size (null below one pixel).
juce::Image transparentImage(float width, float height);

// The pixel scale a context draws at: 2 on a HiDPI screen or in a snapshot made at scale 2.
float physicalScaleOf(juce::Graphics& g);

} // namespace toolkit
