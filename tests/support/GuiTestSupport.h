// What the view tests share: running the message queue, snapshots and pixel checks, and SVG
// files written into a temporary resources folder.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <filesystem>
#include <string>
#include <string_view>

// Runs every message posted to the message thread so far (and what those post in turn, up to
// a bound), then returns. Message thread only.
void runPostedMessages();

// The component as it draws itself, at its size times scale.
juce::Image snapshotOf(juce::Component& component, float scale = 1.0f);

inline bool isOpaqueWhite(juce::Colour c) {
  return c.getAlpha() > 240 && c.getRed() > 240 && c.getGreen() > 240 && c.getBlue() > 240;
}
inline bool isTransparent(juce::Colour c) { return c.getAlpha() == 0; }
// True when no pixel of the image has any alpha.
bool isFullyTransparent(const juce::Image& image);
// The number of pixels with alpha above half.
int opaquePixelCount(const juce::Image& image);

// Writes resources/artwork/<name>.svg with an SVG of that view box and body.
void writeArtwork(const std::filesystem::path& resources, std::string_view name, float width,
                  float height, std::string_view body);
