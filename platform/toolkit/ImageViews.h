// Components that show an image drawn by a function at their own size: a plain image view and
// a borderless button that shows only its image.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace toolkit {

// Returns an image of width × height pixels.
using ImageProvider = std::function<juce::Image(float width, float height)>;

// The image of a component, rendered at its size times the pixel scale it is painted at, again
// whenever either changes (never at a zero size, which keeps the old one).
class ScaledImage {
public:
  void setProvider(ImageProvider provider);
  // Renders again if the size or scale differs from the last render, or the provider changed.
  void update(juce::Rectangle<int> bounds, float scale);
  const juce::Image& image() const noexcept { return image_; }
  // Draws the image into bounds, scaled proportionally and centred.
  void draw(juce::Graphics& g, juce::Rectangle<float> bounds) const;

private:
  ImageProvider provider_;
  juce::Image image_;
  juce::Rectangle<int> renderedBounds_;
  float renderedScale_ = 0.0f;
  bool stale_ = true;
};

// An image view: its image scaled proportionally (up or down) and centred.
class ImageView : public juce::Component {
public:
  ImageView();
  void setImageProvider(ImageProvider provider);
  const juce::Image& image() const noexcept { return image_.image(); }

  void paint(juce::Graphics& g) override;
  void resized() override;

private:
  ScaledImage image_;
  float scale_ = 1.0f;
};

// A borderless button with an empty title that shows only its image; tag identifies it in
// its group. Reached by Tab, it shows the focus ring.
class ImageButton : public juce::Button {
public:
  explicit ImageButton(int tag);
  int tag() const noexcept { return tag_; }
  void setImageProvider(ImageProvider provider);
  const juce::Image& image() const noexcept { return image_.image(); }

  void paintButton(juce::Graphics& g, bool highlighted, bool down) override;
  void resized() override;
  void focusGained(FocusChangeType cause) override;
  void focusLost(FocusChangeType cause) override;

private:
  int tag_;
  bool tabbedTo_ = false;
  ScaledImage image_;
  float scale_ = 1.0f;
};

} // namespace toolkit
