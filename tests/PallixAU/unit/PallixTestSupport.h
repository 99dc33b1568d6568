// Shared helpers for the generator unit's tests: phrase catalogues and units.
#pragma once

#include "PallixAU/unit/PallixAudioUnit.h"
#include "tests/support/UnitValues.h"

#include <gtest/gtest.h>

// In tree order; written out here so that the tests check the unit's table.
inline const std::vector<AUValue> kDefaults = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0};

// A turnaround for every mode and tier from each family.
inline std::shared_ptr<const pallix::engine::CatalogIndex>
catalogueOf(const std::vector<std::string>& families) {
  std::vector<pallix::engine::Phrase> phrases(families.size());
  for (std::size_t i = 0; i < families.size(); ++i)
    phrases[i].family = families[i];
  return std::make_shared<const pallix::engine::CatalogIndex>(std::move(phrases));
}

// The catalogue's phrases (two families without one, so that no test reads the user's
// catalogues); the bundle's presets when asked, none otherwise.
inline std::shared_ptr<pallix::unit::PallixAudioUnit>
makeUnit(std::shared_ptr<const pallix::engine::CatalogIndex> catalogue = nullptr,
         bool bundlePresets = false) {
  auto presets = bundlePresets ? nullptr
                               : std::make_shared<const FactoryPresetCatalogue>(
                                     foundation::Bundle::withResourcesFolder({}), "pallix-presets");
  using pallix::unit::PallixAudioUnit;
  auto unit = AUAudioUnit::create<PallixAudioUnit>(PallixAudioUnit::kDescription, 0, presets,
                                                   catalogue ? catalogue : catalogueOf({"a", "b"}));
  EXPECT_TRUE(unit.ok());
  return std::move(unit).value();
}
