// Tests of catalogue loading (order, version check, bad files, log lines) and of the index.
#include "PallixAU/engine/catalogue/CatalogIndex.h"

#include "platform/foundation/Log.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace engine = pallix::engine;

namespace {

// A fresh folder for "bundle/Catalogues" and "user", removed when the test ends.
struct Folders : TemporaryFolder {
  Folders() : TemporaryFolder("pallix-engine-test") {}
  fs::path bundleFile(std::string_view name) const { return path / "bundle/Catalogues" / name; }
  fs::path user() const { return path / "user"; }
  engine::CatalogIndex load() const {
    return engine::CatalogIndex::load(foundation::Bundle::withResourcesFolder(path / "bundle"),
                                      user());
  }
};

// A catalogue of phraseCount phrases of the family, for every mode and tier.
std::string catalogueText(std::string_view family, int phraseCount = 1, int version = 4) {
  const json phrase = {{"slot", "fillBar4"},
                       {"pulsesPerBar", 4},
                       {"suspends", json::array()},
                       {"family", family},
                       {"events", json::array()}};
  return json{{"version", version}, {"phrases", std::vector(phraseCount, phrase)}}.dump();
}

std::vector<std::string> familiesInOrder(const engine::CatalogIndex& index) {
  std::vector<std::string> result;
  for (const auto& phrase : index.all)
    result.push_back(phrase.family);
  return result;
}

} // namespace

TEST(CatalogueLoading, ReadsTheBundleThenTheUserFolderInByteOrderOfNames) {
  Folders folders;
  writeFile(folders.bundleFile("b.json"), catalogueText("lower b"));
  writeFile(folders.bundleFile("B.json"), catalogueText("capital B"));
  writeFile(folders.bundleFile("a.JSON"), catalogueText("shuffle"));
  writeFile(folders.bundleFile("notes.txt"), catalogueText("not a catalogue"));
  writeFile(folders.bundleFile(".hidden.json"), catalogueText("hidden"));
  writeFile(folders.bundleFile("sub/inner.json"), catalogueText("not descended into"));
  writeFile(folders.user() / "0.json", catalogueText("shuffle", 2));

  foundation::ScopedLogCapture log;
  const engine::CatalogIndex index = folders.load();
  EXPECT_EQ(familiesInOrder(index),
            (std::vector<std::string>{"capital B", "shuffle", "lower b", "shuffle", "shuffle"}));
  EXPECT_EQ(index.familyNames(), (std::vector<std::string>{"capital B", "lower b", "shuffle"}));
  EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                "loaded bundle catalogue B.json: 1 phrases",
                                "loaded bundle catalogue a.JSON: 1 phrases",
                                "loaded bundle catalogue b.json: 1 phrases",
                                "loaded 3 bundle catalogue file(s), 3 phrases total",
                                "loaded user catalogue 0.json: 2 phrases",
                                "loaded 1 user catalogue file(s), 2 phrases total",
                            }));
  for (const auto& record : log.records()) {
    EXPECT_EQ(record.subsystem, "com.orrinbrook.pallix");
    EXPECT_EQ(record.category, "load");
    EXPECT_EQ(record.level, foundation::LogLevel::info);
  }
}

TEST(CatalogueLoading, SkipsEachBadFileWithItsReasonAndLoadsTheRest) {
  Folders folders;
  const fs::path user = folders.user();
  writeFile(user / "a-version3.json", catalogueText("old", 2, 3));
  writeFile(user / "e-huge.json", R"({"version": 1e300, "phrases": []})"); // a decoding failure
  json repeats = json::parse(catalogueText("repeats"));
  repeats["phrases"][0]["modes"] = std::vector<std::string>(300, "minor");
  repeats["phrases"][0]["tiers"] = std::vector<std::string>(300, "jazz");
  writeFile(user / "f-repeats.json", repeats.dump()); // 90000 copies in the index
  fs::create_directories(user / "g-folder.json");
  fs::create_symlink(user / "missing", user / "h-link.json");
  ASSERT_EQ(::mkfifo((user / "i-fifo.json").c_str(), 0600), 0); // opening must not wait
  writeFile(user / "z-good.json", catalogueText("good"));

  foundation::ScopedLogCapture log;
  EXPECT_EQ(familiesInOrder(folders.load()), std::vector<std::string>{"good"});
  const std::vector<std::string> expected = {
      "skipping a-version3.json (user): version 3 (expected 4)",
      "skipping e-huge.json (user): version: 1e+300 is out of range -2147483648 to 2147483647",
      "skipping f-repeats.json (user): more than 65536 index entries in all",
      "skipping g-folder.json (user): is a folder",
      "skipping h-link.json (user): No such file or directory",
      "skipping i-fifo.json (user): is not a regular file",
      "loaded user catalogue z-good.json: 1 phrases",
      "loaded 1 user catalogue file(s), 1 phrases total",
  };
  const auto records = log.records();
  ASSERT_EQ(records.size(), expected.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].message, expected[i]);
    EXPECT_EQ(records[i].level,
              i + 2 < records.size() ? foundation::LogLevel::error : foundation::LogLevel::info);
  }
}

TEST(CatalogueLoading, AbsentPlacesAreSilentAndAnUnlistableOneIsLogged) {
  Folders folders;
  fs::create_directories(folders.bundleFile("")); // empty: not even a summary
  foundation::ScopedLogCapture log;
  const engine::CatalogIndex index = folders.load(); // the user folder does not exist
  EXPECT_TRUE(index.all.empty());
  EXPECT_TRUE(engine::CatalogIndex::load(foundation::Bundle::withResourcesFolder({}), std::nullopt)
                  .all.empty());
  EXPECT_TRUE(log.messages().empty());

  writeFile(folders.user(), "a file where the folder should be");
  folders.load();
  EXPECT_EQ(log.messages(),
            std::vector<std::string>{"user catalogues unreadable: " + folders.user().string() +
                                     " \u2014 Not a directory"});
}

TEST(CatalogIndex, FilesEachPhraseUnderEveryModeAndTierItLists) {
  engine::Phrase majorOnly;
  majorOnly.slot = engine::SlotTag::fillBar4;
  majorOnly.modes = {engine::Mode::major};
  majorOnly.family = "major only";
  engine::Phrase listedTwice = majorOnly;
  listedTwice.modes = {engine::Mode::major, engine::Mode::major};
  listedTwice.tiers = {engine::Tier::jazz};
  const engine::Phrase everywhere; // a turnaround for every mode and tier
  const engine::CatalogIndex index({majorOnly, listedTwice, everywhere});

  EXPECT_EQ(index.phrases(engine::SlotTag::fillBar4, false, engine::Tier::basic),
            std::vector{majorOnly});
  EXPECT_EQ(index.phrases(engine::SlotTag::fillBar4, false, engine::Tier::jazz),
            (std::vector{majorOnly, listedTwice, listedTwice}));
  for (const auto tier : {engine::Tier::basic, engine::Tier::quickFour, engine::Tier::jazz}) {
    EXPECT_TRUE(index.phrases(engine::SlotTag::fillBar4, true, tier).empty());
    EXPECT_EQ(index.phrases(engine::SlotTag::turnaround, true, tier), std::vector{everywhere});
  }
  EXPECT_EQ(index.byKey.size(), 9u);
}
