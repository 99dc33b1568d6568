// The phrase catalogues we ship: every file loads, and together they cover every place a
// phrase can be chosen, in every mode, tier and meter the generator offers phrases for.
#include "PallixAU/engine/catalogue/CatalogIndex.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace engine = pallix::engine;

namespace {

void anchor() {} // an address inside this test binary, beside which the resources lie

struct Meter {
  int pulsesPerBar;
  engine::PulseSpacingClass spacing;
  const char* name;
};
constexpr Meter kMeters[] = {{4, engine::PulseSpacingClass::simple, "4/4"},
                             {4, engine::PulseSpacingClass::compound, "12/8"},
                             {3, engine::PulseSpacingClass::simple, "3/4"}};

} // namespace

TEST(ShippedCatalogues, EveryFileLoadsAndTogetherTheyCoverEverySlotModeTierAndMeter) {
  foundation::ScopedLogCapture log;
  const auto index = engine::CatalogIndex::load(
      foundation::Bundle::withResourcesFolder(
          foundation::Bundle::of(reinterpret_cast<const void*>(&anchor)).resourcesFolder()),
      std::nullopt);
  for (const std::string& message : log.messages())
    EXPECT_EQ(message.find("skipping"), std::string::npos) << message;
  EXPECT_GE(log.messages().size(), 5u); // four files or more, and the summary
  EXPECT_GE(index.all.size(), 48u);

  std::set<std::string> families;
  std::set<std::tuple<engine::SlotTag, engine::Mode, engine::Tier, int, engine::PulseSpacingClass>>
      covered;
  for (std::size_t i = 0; i < index.all.size(); ++i) {
    const engine::Phrase& phrase = index.all[i];
    SCOPED_TRACE(phrase.family + ", phrase " + std::to_string(i));
    families.insert(phrase.family);
    EXPECT_FALSE(phrase.events.empty());
    EXPECT_LE(phrase.events.size(), 48u); // the queue holds no more
    const double length = engine::barsOfSlot(phrase.slot) * phrase.pulsesPerBar;
    for (const engine::PhraseEvent& event : phrase.events) {
      EXPECT_LE(event.velocityLow, event.velocityHigh);
      EXPECT_GE(event.timeOffsetPulses, 0.0);
      EXPECT_LT(event.timeOffsetPulses, length);
      EXPECT_GT(event.durationPulses, 0.0);
      EXPECT_GE(36 + event.pitchSemitones, 0);        // the lowest root, C
      EXPECT_LE(36 + 11 + event.pitchSemitones, 127); // the highest root, B
    }
    for (engine::Mode mode : phrase.modes)
      for (engine::Tier tier : phrase.tiers)
        for (engine::PulseSpacingClass spacing : phrase.spacingClasses)
          covered.insert({phrase.slot, mode, tier, phrase.pulsesPerBar, spacing});
  }
  EXPECT_GE(families.size(), 4u);

  for (int slot = 0; slot < 5; ++slot)
    for (engine::Mode mode : engine::kAllModes)
      for (engine::Tier tier : engine::kAllTiers)
        for (const Meter& meter : kMeters)
          EXPECT_TRUE(covered.contains(
              {static_cast<engine::SlotTag>(slot), mode, tier, meter.pulsesPerBar, meter.spacing}))
              << "no phrase for slot " << slot << ", mode " << static_cast<int>(mode) << ", tier "
              << static_cast<int>(tier) << ", " << meter.name;
}
