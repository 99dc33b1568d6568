// editor-snapshot: both editors drawn into PNGs at the sizes and scales asked, and bad command
// lines refused without touching the output.
#include "tests/support/ToolRun.h"

#include <juce_graphics/juce_graphics.h>

namespace {

const std::string kTool = EDITOR_SNAPSHOT_PATH;

juce::Image readPng(const std::string& path) {
  return juce::ImageFileFormat::loadFrom(juce::File(path));
}

} // namespace

TEST(EditorSnapshot, DrawsEitherEditorAtTheSizeAndScaleAsked) {
  ToolTestFolder folder("editor-snapshot");
  struct Case {
    std::string arguments;
    int width, height;
    juce::Colour background; // at a corner pixel, outside every control
  };
  const Case cases[] = {
      {"quorvane", 720, 480, juce::Colour(57, 142, 60)},
      {"pallix", 480, 320, juce::Colour(221, 85, 255)},
      {"quorvane --size 1000x300 --scale 2 --set shape=0.9", 2000, 600, juce::Colour(57, 142, 60)},
      {"pallix --size 300x600 --preset 1 --set rootNote=4", 300, 600, juce::Colour(221, 85, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    auto arguments = folder.words(c.arguments, "");
    arguments.push_back(folder.path("out.png"));
    const ToolResult r = folder.runTool(kTool, arguments);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.out << r.err;
    const auto image = readPng(folder.path("out.png"));
    ASSERT_TRUE(image.isValid());
    EXPECT_EQ(image.getWidth(), c.width);
    EXPECT_EQ(image.getHeight(), c.height);
    EXPECT_EQ(image.getPixelAt(2, 2), c.background);
  }
}

TEST(EditorSnapshot, RefusesBadCommandLines) {
  ToolTestFolder folder("editor-snapshot");
  const std::vector<std::string> outputs{folder.path("out.png")};
  for (const char* text :
       {"", "quorvane", "synth @out.png", "quorvane @out.png extra", "quorvane --size 720 @out.png",
        "quorvane --size 10x480 @out.png", "quorvane --size 720x480x2 @out.png",
        "pallix --scale 0 @out.png", "pallix --scale nan @out.png",
        "quorvane --set nothing=1 @out.png", "quorvane --preset Nowhere @out.png",
        "quorvane --seconds 3 @out.png", "pallix --state @missing.plist @out.png",
        "quorvane --size 8192x4096 --scale 2.5 @out.png"})
    folder.expectRefused(kTool, text, "", outputs);
}

// Under a memory limit the largest picture cannot be had: an error, not a crash.
TEST(EditorSnapshot, APictureThatCannotBeAllocatedIsAnError) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' shadow memory does not start under an address-space limit";
#endif
  ToolTestFolder folder("editor-snapshot");
  const ToolResult r = folder.runTool(
      "/bin/sh", {"-c", "ulimit -v 300000; exec \"$0\" quorvane --size 8192x8192 \"$1\"", kTool,
                  folder.path("out.png")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "editor-snapshot: not enough memory for a 8192x8192 picture\n");
  EXPECT_TRUE(folder.entries().empty());
}
