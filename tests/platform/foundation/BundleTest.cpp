// Tests of bundle resource lookup and the file helpers, in temporary folders. Listing a folder is
// tested where the catalogues are loaded, and finding the bundle of an address wherever a test
// reads the shipped resources beside its binary.
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Files.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace foundation;

namespace fs = std::filesystem;

TEST(Bundle, FindsTheResourcesBesideOrAboveTheBinary) {
  TemporaryFolder root("foundation-test");
  const fs::path binaryFolder = root.path / "X.vst3/Contents/x86_64-linux";
  fs::create_directories(binaryFolder);
  EXPECT_TRUE(Bundle::forBinaryFolder(binaryFolder).resourcesFolder().empty());

  fs::create_directories(root.path / "X.vst3/Contents/Resources");
  EXPECT_EQ(Bundle::forBinaryFolder(binaryFolder).resourcesFolder(),
            root.path / "X.vst3/Contents/Resources");

  fs::create_directories(binaryFolder / "Resources"); // beside the binary wins
  EXPECT_EQ(Bundle::forBinaryFolder(binaryFolder / "").resourcesFolder(),
            binaryFolder / "Resources");
}

TEST(Bundle, LooksUpFilesAndFoldersExactlyAsNamed) {
  TemporaryFolder root("foundation-test");
  writeFile(root.path / "presets/01-Warm.aupreset");
  writeFile(root.path / "presets/Loud.AUPRESET");
  fs::create_directories(root.path / "presets/Folder.aupreset");
  fs::create_directories(root.path / "Catalogues");
  const Bundle bundle = Bundle::withResourcesFolder(root.path);

  EXPECT_EQ(bundle.resource("01-Warm", "aupreset", "presets"),
            root.path / "presets/01-Warm.aupreset");
  EXPECT_EQ(bundle.resource("Loud", "aupreset", "presets"), std::nullopt);
  EXPECT_TRUE(bundle.resource("Loud", "AUPRESET", "presets"));
  EXPECT_EQ(bundle.resource("Folder", "aupreset", "presets"), std::nullopt);
  EXPECT_EQ(bundle.resource("01-Warm", "aupreset", "missing"), std::nullopt);
  EXPECT_EQ(bundle.resource("presets/01-Warm", "aupreset"), std::nullopt);
  EXPECT_EQ(
      bundle.resource("01-Warm", "aupreset", "../" + root.path.filename().string() + "/presets"),
      std::nullopt);

  EXPECT_EQ(bundle.resourceFolder("Catalogues"), root.path / "Catalogues");
  EXPECT_EQ(bundle.resourceFolder("Missing"), std::nullopt);
  EXPECT_EQ(Bundle::withResourcesFolder(root.path / "none").resourceFolder("Catalogues"),
            std::nullopt);
}

TEST(Files, ReadsWholeRegularFilesWithinTheLimitAndWritesAtomically) {
  TemporaryFolder root("foundation-test");
  const fs::path file = root.path / "state.aupreset";
  ASSERT_TRUE(writeFileAtomically(file, std::string_view("first")));
  ASSERT_TRUE(writeFileAtomically(file, std::string_view("12345")));
  EXPECT_EQ(readWholeFile(file, 5), (std::vector<std::uint8_t>{'1', '2', '3', '4', '5'}));
  EXPECT_EQ(std::distance(fs::directory_iterator(root.path), fs::directory_iterator()), 1);
  std::string error;
  EXPECT_EQ(readWholeFile(file, 4, &error), std::nullopt);
  EXPECT_NE(error.find("larger"), std::string::npos);
  EXPECT_EQ(readWholeFile(root.path / "missing", 100, &error), std::nullopt);
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_EQ(readWholeFile(root.path, 100), std::nullopt);
  // A pipe with no writer would block a plain open forever.
  ASSERT_EQ(::mkfifo((root.path / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(readWholeFile(root.path / "pipe", 100), std::nullopt);

  error.clear();
  EXPECT_FALSE(writeFileAtomically(root.path / "missing/x", std::string_view("x"), &error));
  EXPECT_FALSE(error.empty());
  fs::create_directories(root.path / "folder");
  EXPECT_FALSE(writeFileAtomically(root.path / "folder", std::string_view("x")));
  EXPECT_EQ(std::distance(fs::directory_iterator(root.path), fs::directory_iterator()), 3);
}
