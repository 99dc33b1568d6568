// Named artwork: where it is found, how it fills a frame, and what a missing name gives.
#include "platform/toolkit/ArtworkLibrary.h"
#include "platform/toolkit/ImageRendering.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

using toolkit::ArtworkFit;
using toolkit::ArtworkLibrary;

namespace {

constexpr std::string_view kWhite = "fill=\"#ffffff\"";

std::string rect(float x, float y, float w, float h, std::string_view fill = kWhite) {
  return "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
         std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" " + std::string(fill) + "/>";
}

// The first and one-past-last columns of row y with alpha above half; (-1, -1) for none.
std::pair<int, int> opaqueSpan(const juce::Image& image, int y) {
  int first = -1, last = -1;
  for (int x = 0; x < image.getWidth(); ++x)
    if (image.getPixelAt(x, y).getAlpha() > 127) {
      if (first < 0)
        first = x;
      last = x + 1;
    }
  return {first, last};
}

class ArtworkLibraryTest : public testing::Test {
protected:
  TemporaryFolder resources{"artwork-test"};
  ArtworkLibrary library() {
    return ArtworkLibrary({foundation::Bundle::withResourcesFolder(resources.path)});
  }
};

} // namespace

TEST_F(ArtworkLibraryTest, FittingKeepsTheAspectCentresAndAnUnderlayIsCropped) {
  // A square face with a 10-unit block in its top-left corner: at 1.15 in a 100 × 100 frame
  // the face is 115 wide from -7.5, so the block ends at -7.5 + 11.5 = 4.
  writeArtwork(resources.path, "Face", 100, 100, rect(0, 0, 10, 10));
  writeArtwork(resources.path, "Label", 200, 100, rect(0, 0, 200, 100));
  auto lib = library();
  const auto image = lib.render("Face", 100, 100, ArtworkFit::fitted, 1.15f);
  ASSERT_EQ(image.getWidth(), 100);
  ASSERT_EQ(image.getHeight(), 100);
  EXPECT_EQ(opaqueSpan(image, 0), std::make_pair(0, 4));
  EXPECT_EQ(opaqueSpan(image, 3), std::make_pair(0, 4));
  EXPECT_EQ(opaqueSpan(image, 4), std::make_pair(-1, -1));

  // Fitting keeps the aspect and centres: a 2:1 label filled edge to edge, in a 100 × 20 frame,
  // is 40 × 20 from x = 30.
  const auto fitted = lib.render("Label", 100, 20, ArtworkFit::fitted);
  EXPECT_EQ(opaqueSpan(fitted, 0), std::make_pair(30, 70));
  EXPECT_EQ(opaqueSpan(fitted, 19), std::make_pair(30, 70));
  // The generator's rule stretches it over the whole frame.
  const auto stretched = lib.render("Label", 100, 20, ArtworkFit::stretched);
  EXPECT_EQ(opaqueSpan(stretched, 10), std::make_pair(0, 100));
  EXPECT_EQ(opaquePixelCount(stretched), 100 * 20);
}

TEST_F(ArtworkLibraryTest, WhatCannotBeDrawnIsTransparentAtTheRequestedSize) {
  std::filesystem::create_directories(resources.path / "artwork");
  std::ofstream(resources.path / "artwork" / "Broken.svg") << "<svg this is not xml";
  std::ofstream(resources.path / "artwork" / "NotSvg.svg") << "<html></html>";
  auto lib = library();
  for (const char* name : {"Missing", "Broken", "NotSvg", "../artwork/Missing"}) {
    SCOPED_TRACE(name);
    const auto image = lib.render(name, 37, 23, ArtworkFit::fitted, 1.15f);
    ASSERT_TRUE(image.isValid());
    EXPECT_EQ(image.getWidth(), 37);
    EXPECT_EQ(image.getHeight(), 23);
    EXPECT_TRUE(isFullyTransparent(image));
    EXPECT_EQ(lib.find(name), nullptr);
  }
  // No folder at all behaves the same.
  ArtworkLibrary none({foundation::Bundle::withResourcesFolder(resources.path / "nowhere")});
  EXPECT_TRUE(isFullyTransparent(none.render("Face", 10, 10, ArtworkFit::stretched)));
}

TEST_F(ArtworkLibraryTest, TheFirstBundleHoldingANameWinsAndDuplicatesAreSkipped) {
  TemporaryFolder second("artwork-test-second");
  writeArtwork(resources.path, "Only", 10, 10, rect(0, 0, 10, 10, "fill=\"#ff0000\""));
  writeArtwork(second.path, "Only", 10, 10, rect(0, 0, 10, 10, "fill=\"#0000ff\""));
  writeArtwork(second.path, "Later", 10, 10, rect(0, 0, 10, 10, "fill=\"#00ff00\""));
  ArtworkLibrary lib({foundation::Bundle::withResourcesFolder(resources.path),
                      foundation::Bundle::withResourcesFolder(second.path),
                      foundation::Bundle::withResourcesFolder(resources.path / "." / "")});
  EXPECT_EQ(lib.bundles().size(), 2u);
  EXPECT_EQ(lib.render("Only", 4, 4, ArtworkFit::stretched).getPixelAt(2, 2),
            juce::Colour(0xffff0000));
  EXPECT_EQ(lib.render("Later", 4, 4, ArtworkFit::stretched).getPixelAt(2, 2),
            juce::Colour(0xff00ff00));
}

TEST(ImageRendering, FlippedOrNotAndEmptySizes) {
  const auto draw = [](juce::Graphics& g) {
    g.setColour(juce::Colours::white);
    g.fillRect(0, 0, 4, 4); // the origin's corner
  };
  const auto down = toolkit::renderPlatformImage(10, 8, true, draw);
  EXPECT_TRUE(isOpaqueWhite(down.getPixelAt(1, 1)));
  EXPECT_TRUE(isTransparent(down.getPixelAt(1, 6)));
  const auto up = toolkit::renderPlatformImage(10, 8, false, draw);
  EXPECT_TRUE(isTransparent(up.getPixelAt(1, 1)));
  EXPECT_TRUE(isOpaqueWhite(up.getPixelAt(1, 6)));
  // Fractional sizes cover whole pixels; nothing below one pixel is drawn.
  EXPECT_EQ(toolkit::renderPlatformImage(10.5f, 2.2f, true, draw).getBounds(),
            juce::Rectangle<int>(0, 0, 11, 3));
  bool called = false;
  for (float side : {0.0f, 0.5f, -3.0f, std::numeric_limits<float>::quiet_NaN()})
    EXPECT_FALSE(toolkit::renderPlatformImage(side, 10, true, [&](juce::Graphics&) {
                   called = true;
                 }).isValid());
  EXPECT_FALSE(called);
}
