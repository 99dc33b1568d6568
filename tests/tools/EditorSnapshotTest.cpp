// editor-snapshot: bad command lines refused without touching the output, and a picture too
// large for memory an error. What it draws, the render fingerprints hold.
#include "tests/support/ToolRun.h"

namespace {

const std::string kTool = EDITOR_SNAPSHOT_PATH;

} // namespace

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
