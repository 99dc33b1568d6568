// The synthesiser editors and the kit's parsed artwork: shared while any is open, released with
// the last, so nothing of JUCE's outlives the editors.
#include "QuorvaneAU/editor/KnobsStyleKit.h"
#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quorvane::editor;
using quorvane::unit::QuorvaneAudioUnit;

TEST(EditorArtwork, OpenEditorsShareTheArtworkAndTheLastToCloseReleasesIt) {
  const auto& artwork = KnobsStyleKit::sharedLibrary();
  auto first = std::make_unique<QuorvaneAUViewControllerMac>();
  const int made = artwork.librariesMade();
  EXPECT_TRUE(artwork.isLoaded());
  EXPECT_EQ(artwork.holders(), 1);

  auto second = std::make_unique<QuorvaneAUViewControllerMac>();
  second->setAudioUnit(
      AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription).value());
  second->createComponentSnapshot(second->getLocalBounds()); // draws every knob
  EXPECT_EQ(artwork.holders(), 2);
  EXPECT_EQ(artwork.librariesMade(), made); // one library for both, none made to draw

  first.reset();
  EXPECT_TRUE(artwork.isLoaded());
  second.reset();
  EXPECT_FALSE(artwork.isLoaded());
  EXPECT_EQ(artwork.holders(), 0);
}
