// Replays every saved input of the fuzz targets the core build has.
#include "tests/fuzz/ReplayTest.h"

#include "platform/foundation/Log.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> filesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  if (fs::is_directory(folder))
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
        files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::uint8_t> contentsOf(const fs::path& file) {
  std::ifstream stream(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

} // namespace

TEST_P(Replay, EverySavedInputMeetsTheTargetsExpectations) {
  const FuzzTarget& target = GetParam();
  const foundation::ScopedLogCapture quiet; // what the units refuse, they log
  const fs::path root = ORRINBROOK_SOURCE_DIR;
  std::vector<fs::path> folders = {root / "tests/data/fuzz" / target.name,
                                   root / "tests/fuzz/corpus" / target.name};
  for (std::string_view seeds : target.seedFolders)
    folders.push_back(root / seeds);
  for (const fs::path& folder : folders)
    for (const fs::path& file : filesIn(folder)) {
      const std::vector<std::uint8_t> bytes = contentsOf(file);
      EXPECT_EQ(target.entry(bytes), "") << file;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Core, Replay,
    testing::Values(FuzzTarget{"catalogue", fuzz::catalogue, {"PallixAU/resources/Catalogues"}},
                    FuzzTarget{
                        "unit-state",
                        fuzz::unitState,
                        {"QuorvaneAU/resources/presets", "PallixAU/resources/pallix-presets"}},
                    FuzzTarget{"synth-render", fuzz::synthRender, {}},
                    FuzzTarget{"generator-render", fuzz::generatorRender, {}}),
    fuzzTargetName);
