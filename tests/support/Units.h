// The units as the tests make them: presets and phrases chosen by the test, never the user's,
// so that nothing of the machine's home folder reaches a test. A unit that cannot be made
// throws (std::bad_variant_access), which fails the test or stops the fuzzer.
#pragma once

#include "PallixAU/engine/catalogue/CatalogIndex.h"
#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/foundation/Bundle.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The factory presets of folder/name; none without a folder.
inline std::shared_ptr<const FactoryPresetCatalogue> presetsIn(const std::filesystem::path& folder,
                                                               const char* name) {
  return std::make_shared<const FactoryPresetCatalogue>(
      foundation::Bundle::withResourcesFolder(folder), name);
}

// The synthesiser with the presets of resources/presets; none without resources.
inline std::shared_ptr<quorvane::unit::QuorvaneAudioUnit>
makeSynth(const std::filesystem::path& resources = {}) {
  using quorvane::unit::QuorvaneAudioUnit;
  return AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription, 0,
                                                presetsIn(resources, "presets"))
      .value();
}

// A turnaround for every mode and tier from each family.
inline std::shared_ptr<const pallix::engine::CatalogIndex>
catalogueOf(const std::vector<std::string>& families) {
  std::vector<pallix::engine::Phrase> phrases(families.size());
  for (std::size_t i = 0; i < families.size(); ++i)
    phrases[i].family = families[i];
  return std::make_shared<const pallix::engine::CatalogIndex>(std::move(phrases));
}

inline void besideTheTests() {} // an address in the test's binary, beside its resources

// The phrases shipped beside the test's binary, without the user's.
inline std::shared_ptr<const pallix::engine::CatalogIndex> shippedCatalogues() {
  static const auto index =
      std::make_shared<const pallix::engine::CatalogIndex>(pallix::engine::CatalogIndex::load(
          foundation::Bundle::of(reinterpret_cast<const void*>(&besideTheTests)), std::nullopt));
  return index;
}

// The generator with these phrases (by default two families of one turnaround each) and the
// presets shipped beside the test's binary when asked, none otherwise.
inline std::shared_ptr<pallix::unit::PallixAudioUnit>
makeGenerator(std::shared_ptr<const pallix::engine::CatalogIndex> phrases = nullptr,
              bool shippedPresets = false) {
  using pallix::unit::PallixAudioUnit;
  return AUAudioUnit::create<PallixAudioUnit>(
             PallixAudioUnit::kDescription, 0,
             shippedPresets ? nullptr : presetsIn({}, "pallix-presets"),
             phrases ? std::move(phrases) : catalogueOf({"a", "b"}))
      .value();
}
