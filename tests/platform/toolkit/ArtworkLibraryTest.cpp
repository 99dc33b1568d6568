// Named artwork: where it is found and what a missing name gives. How it fills a frame, the
// render fingerprints hold in the editors' pictures.
#include "platform/toolkit/ArtworkLibrary.h"
#include "platform/toolkit/ImageRendering.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

using toolkit::ArtworkFit;
using toolkit::ArtworkLibrary;

namespace {

std::string rect(float x, float y, float w, float h, std::string_view fill) {
  return "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
         std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" " + std::string(fill) + "/>";
}

class ArtworkLibraryTest : public testing::Test {
protected:
  TemporaryFolder resources{"artwork-test"};
  ArtworkLibrary library() {
    return ArtworkLibrary({foundation::Bundle::withResourcesFolder(resources.path)});
  }
};

} // namespace

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
