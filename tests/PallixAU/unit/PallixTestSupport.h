// Shared helpers for the generator unit's tests: preset folders, phrase catalogues, units.
#pragma once

#include "PallixAU/unit/PallixAudioUnit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

// In tree order; written out here so that the tests check the unit's table.
inline const std::vector<AUValue> kDefaults = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0};

// A resources folder with an empty "pallix-presets" subfolder, removed with the object.
struct PresetFolder {
  std::filesystem::path root;
  PresetFolder() {
    std::string pattern = std::filesystem::temp_directory_path() / "pallix-unit-XXXXXX";
    root = ::mkdtemp(pattern.data());
    std::filesystem::create_directory(root / "pallix-presets");
  }
  ~PresetFolder() { std::filesystem::remove_all(root); }
  void write(const std::string& name, const PropertyList::Dictionary& params) const {
    std::ofstream(root / "pallix-presets" / name)
        << PropertyList(PropertyList::Dictionary{{"pallixParams", params}}).toXML();
  }
};

// A turnaround for every mode and tier from each family.
inline std::shared_ptr<const CatalogIndex> catalogOf(const std::vector<std::string>& families) {
  std::vector<Kernel::Phrase> phrases(families.size());
  for (std::size_t i = 0; i < families.size(); ++i)
    phrases[i].family = families[i];
  return std::make_shared<const CatalogIndex>(std::move(phrases));
}

// The folder's presets (the bundle's without one) and the catalog's phrases (two families
// without one, so that no test reads the user's catalogues).
inline std::shared_ptr<PallixAudioUnit>
makeUnit(const PresetFolder* folder, std::shared_ptr<const CatalogIndex> catalog = nullptr) {
  auto presets = folder ? std::make_shared<const FactoryPresetCatalogue>(
                              Bundle::withResourcesFolder(folder->root), "pallix-presets")
                        : nullptr;
  auto unit = AUAudioUnit::create<PallixAudioUnit>(PallixAudioUnit::kDescription, 0, presets,
                                                   catalog ? catalog : catalogOf({"a", "b"}));
  EXPECT_TRUE(unit.ok());
  return std::move(unit).value();
}

inline std::vector<AUValue> values(const AUAudioUnit& unit) {
  std::vector<AUValue> result;
  for (const auto& parameter : unit.parameterTree()->allParameters())
    result.push_back(parameter->value());
  return result;
}

inline std::vector<AUValue> defaultsWith(std::size_t position, AUValue value) {
  std::vector<AUValue> result = kDefaults;
  result[position] = value;
  return result;
}
