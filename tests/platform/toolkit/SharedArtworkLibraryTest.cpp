// A kit's shared artwork: alive while held, parsed once for all holders, gone with the last.
#include "platform/toolkit/ArtworkLibrary.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <optional>

using toolkit::SharedArtworkLibrary;

namespace {

const int kitAnchor = 0;

class SharedArtworkLibraryTest : public testing::Test {
protected:
  void SetUp() override {
    writeArtwork(resources.path, "Face", 10, 10,
                 "<rect width=\"10\" height=\"10\" fill=\"#fff\"/>");
    shared.use({foundation::Bundle::withResourcesFolder(resources.path)});
  }
  TemporaryFolder resources{"shared-artwork"};
  SharedArtworkLibrary shared{&kitAnchor};
};

} // namespace

TEST_F(SharedArtworkLibraryTest, HoldersShareOneLibraryAndTheLastOneLetsItGo) {
  EXPECT_FALSE(shared.isLoaded());
  // An unheld use keeps its library between uses, and the next holds take it over.
  const juce::Drawable* face = shared.get().find("Face");
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(&shared.get(), &shared.get());
  EXPECT_EQ(shared.holders(), 0);
  std::optional<std::shared_ptr<toolkit::ArtworkLibrary>> first{shared.hold()};
  EXPECT_EQ(first->get()->find("Face"), face); // the same parsed artwork, not parsed again
  auto second = shared.hold();
  EXPECT_EQ(second, *first);
  EXPECT_EQ(&shared.get(), second.get());
  EXPECT_EQ(shared.holders(), 2);
  EXPECT_EQ(shared.librariesMade(), 1);

  first.reset();
  EXPECT_TRUE(shared.isLoaded());
  EXPECT_EQ(shared.holders(), 1);
  second.reset();
  EXPECT_FALSE(shared.isLoaded());
  EXPECT_EQ(shared.holders(), 0);

  // A new hold parses again, from the bundles given to use(), not the kit's own.
  const auto again = shared.hold();
  EXPECT_EQ(shared.librariesMade(), 2);
  ASSERT_EQ(again->bundles().size(), 1u);
  EXPECT_EQ(again->bundles().front().resourcesFolder(), resources.path);
}

TEST_F(SharedArtworkLibraryTest, UsingOtherBundlesLetsGoOfTheUnheldLibraryButNotOfHolds) {
  shared.get();
  shared.use({});
  EXPECT_FALSE(shared.isLoaded());

  const auto held = shared.hold();
  EXPECT_EQ(held->find("Face"), nullptr);
  shared.use({foundation::Bundle::withResourcesFolder(resources.path)});
  EXPECT_EQ(held->find("Face"), nullptr); // a holder keeps what it holds
  EXPECT_NE(shared.get().find("Face"), nullptr);
  EXPECT_EQ(shared.librariesMade(), 3);
}
