// The phrase catalogues we ship: every file decodes, and together they cover every place a
// phrase can be chosen, in every mode, tier and meter the generator offers phrases for.
#include "PallixAU/engine/CatalogDecoding.h"
#include "PallixAU/engine/CatalogIndex.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>

namespace fs = std::filesystem;

using pallix::engine::barsOfSlot;
using pallix::engine::CatalogDecodeResult;
using pallix::engine::CatalogIndex;
using pallix::engine::decodeCatalogFile;
using pallix::engine::kAllModes;
using pallix::engine::kAllTiers;
using pallix::engine::kCatalogVersion;
using pallix::engine::Mode;
using pallix::engine::Phrase;
using pallix::engine::PhraseEvent;
using pallix::engine::PulseSpacingClass;
using pallix::engine::SlotTag;
using pallix::engine::Tier;

namespace {

void anchor() {} // an address inside this test binary, beside which the resources lie

const fs::path kResources = Bundle::of(reinterpret_cast<const void*>(&anchor)).resourcesFolder();

struct Meter {
  int pulsesPerBar;
  PulseSpacingClass spacing;
  const char* name;
};
constexpr Meter kMeters[] = {{4, PulseSpacingClass::simple, "4/4"},
                             {4, PulseSpacingClass::compound, "12/8"},
                             {3, PulseSpacingClass::simple, "3/4"}};
constexpr const char* kSlotNames[] = {"turnaround", "fillBar4", "fillBar8", "fillBar3to4",
                                      "fillBar7to8"};

std::vector<std::uint8_t> readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(ShippedCatalogues, EveryFileDecodesAndTogetherTheyCoverEverySlotModeTierAndMeter) {
  std::vector<Phrase> all;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(kResources / "Catalogues")) {
    if (entry.path().extension() != ".json")
      continue;
    ++files;
    SCOPED_TRACE(entry.path().filename().string());
    const CatalogDecodeResult result = decodeCatalogFile(readAll(entry.path()));
    ASSERT_TRUE(result.file) << result.error.description();
    EXPECT_EQ(result.file->version, kCatalogVersion);
    all.insert(all.end(), result.file->phrases.begin(), result.file->phrases.end());
  }
  EXPECT_GE(files, 4);
  EXPECT_GE(all.size(), 48u);

  std::set<std::string> families;
  std::set<std::tuple<SlotTag, Mode, Tier, int, PulseSpacingClass>> covered;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const Phrase& phrase = all[i];
    SCOPED_TRACE(phrase.family + ", phrase " + std::to_string(i));
    families.insert(phrase.family);
    EXPECT_FALSE(phrase.events.empty());
    EXPECT_LE(phrase.events.size(), 48u); // the queue holds no more
    const double length = barsOfSlot(phrase.slot) * phrase.pulsesPerBar;
    for (const PhraseEvent& event : phrase.events) {
      EXPECT_LE(event.velocityLow, event.velocityHigh);
      EXPECT_GE(event.timeOffsetPulses, 0.0);
      EXPECT_LT(event.timeOffsetPulses, length);
      EXPECT_GT(event.durationPulses, 0.0);
      EXPECT_GE(36 + event.pitchSemitones, 0);        // the lowest root, C
      EXPECT_LE(36 + 11 + event.pitchSemitones, 127); // the highest root, B
    }
    for (Mode mode : phrase.modes)
      for (Tier tier : phrase.tiers)
        for (PulseSpacingClass spacing : phrase.spacingClasses)
          covered.insert({phrase.slot, mode, tier, phrase.pulsesPerBar, spacing});
  }
  EXPECT_GE(families.size(), 4u);

  for (int slot = 0; slot < 5; ++slot)
    for (Mode mode : kAllModes)
      for (Tier tier : kAllTiers)
        for (const Meter& meter : kMeters)
          EXPECT_TRUE(covered.contains(
              {static_cast<SlotTag>(slot), mode, tier, meter.pulsesPerBar, meter.spacing}))
              << "no phrase for " << kSlotNames[slot] << ", mode " << static_cast<int>(mode)
              << ", tier " << static_cast<int>(tier) << ", " << meter.name;
}

TEST(ShippedCatalogues, LoadIntoTheIndexWithoutSkippingAFile) {
  ScopedLogCapture log;
  const CatalogIndex index =
      CatalogIndex::load(Bundle::withResourcesFolder(kResources), std::nullopt);
  for (const std::string& message : log.messages())
    EXPECT_EQ(message.find("skipping"), std::string::npos) << message;
  EXPECT_FALSE(index.phrases(SlotTag::turnaround, true, Tier::jazz).empty());
}
