// The synthesiser's artwork kit: its rules for underlays and labels, the radio images drawn in
// code, and where it looks.
#include "QuorvaneAU/editor/KnobsStyleKit.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

using quorvane::editor::KnobsStyleKit;

namespace {

class StyleKitTest : public testing::Test {
protected:
  void SetUp() override {
    writeArtwork(resources.path, "AttackUnderlay", 50, 50,
                 "<rect x=\"0\" y=\"0\" width=\"5\" height=\"5\" fill=\"#fff\"/>");
    writeArtwork(resources.path, "LpLabel", 200, 100,
                 "<rect x=\"0\" y=\"0\" width=\"200\" height=\"100\" fill=\"#fff\"/>");
    KnobsStyleKit::useBundles({foundation::Bundle::withResourcesFolder(resources.path)});
  }
  void TearDown() override { KnobsStyleKit::useBundles({}); }
  TemporaryFolder resources{"quorvane-kit"};
};

int firstOpaqueColumn(const juce::Image& image, int y) {
  for (int x = 0; x < image.getWidth(); ++x)
    if (image.getPixelAt(x, y).getAlpha() > 127)
      return x;
  return -1;
}

} // namespace

TEST_F(StyleKitTest, UnderlaysFillTheControlLabelsFit) {
  // The face's 5-unit corner block: 11.5 % of 115 from -7.5, so it ends at column 4.
  const auto face = KnobsStyleKit::imageOfAttackUnderlay({0, 0, 100, 100});
  EXPECT_EQ(face.getBounds(), juce::Rectangle<int>(0, 0, 100, 100));
  EXPECT_GT(face.getPixelAt(3, 3).getAlpha(), 127);
  EXPECT_EQ(face.getPixelAt(4, 4).getAlpha(), 0);
  // A 2:1 label in 100 × 20: 40 × 20, centred.
  const auto label = KnobsStyleKit::imageOfLpLabel({0, 0, 100, 20});
  EXPECT_EQ(firstOpaqueColumn(label, 10), 30);
  EXPECT_EQ(label.getPixelAt(70, 10).getAlpha(), 0);
}

TEST_F(StyleKitTest, RadioImagesAreARingAndADot) {
  // At 20 × 10: the ring has radius 4.5 and width 0.8, the dot radius 2.5, both about (10, 5).
  const auto on = KnobsStyleKit::imageOfRadioOn({0, 0, 20, 10});
  const auto off = KnobsStyleKit::imageOfRadioOff({0, 0, 20, 10});
  ASSERT_EQ(on.getBounds(), juce::Rectangle<int>(0, 0, 20, 10));
  EXPECT_TRUE(isOpaqueWhite(on.getPixelAt(10, 5)));
  EXPECT_EQ(off.getPixelAt(10, 5).getAlpha(), 0);
  for (const auto& image : {on, off}) {
    EXPECT_GT(image.getPixelAt(14, 5).getAlpha(), 100); // the ring, right
    EXPECT_GT(image.getPixelAt(10, 0).getAlpha(), 100); // the ring, top
    EXPECT_EQ(image.getPixelAt(13, 5).getAlpha(), 0);   // between dot and ring
    EXPECT_EQ(image.getPixelAt(3, 5).getAlpha(), 0);    // outside the ring
    EXPECT_EQ(image.getPixelAt(16, 5).getAlpha(), 0);
  }
}
