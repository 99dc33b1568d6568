// The LV2 bundles of our own client in this build tree, loaded by lilv as a host loads them,
// and the units they wrap, made directly, to compare with.
#pragma once

#include "PallixAU/engine/PallixParameters.h"
#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "tools/lv2-host/Lv2Host.h"

#include <ostream>
#include <span>
#include <string>

inline const std::string kQuorvaneUri = "https://orrinbrook.org/plugins/quorvane";
inline const std::string kPallixUri = "https://orrinbrook.org/plugins/pallix";

// Both bundles in one world: JUCE's bundles of the same URIs stay out of it.
inline Lv2World& ownWorld() {
  static Lv2World shared({OWN_QUORVANE_LV2_BUNDLE, OWN_PALLIX_LV2_BUNDLE});
  return shared;
}

struct OwnPlugin {
  std::string uri;
  std::span<const foundation::ParameterRow> rows;
  const char* resources; // the unit's resources in the source tree
  const char* presetFolder;
};

// Test names and messages show the URI.
inline void PrintTo(const OwnPlugin& plugin, std::ostream* out) { *out << plugin.uri; }

inline const OwnPlugin kOwnPlugins[] = {
    {kQuorvaneUri, quorvane::dsp::kQuorvaneParameters, QUORVANE_RESOURCES, "presets"},
    {kPallixUri, pallix::engine::kPallixParameters, PALLIX_RESOURCES, "pallix-presets"},
};

#include "tests/support/Units.h"

// The plug-in's unit with the factory presets of the source tree, as the bundle's unit is.
inline std::shared_ptr<AUAudioUnit> unitOf(const OwnPlugin& plugin) {
  if (plugin.uri == kQuorvaneUri)
    return makeSynth(plugin.resources);
  using pallix::unit::PallixAudioUnit;
  return AUAudioUnit::create<PallixAudioUnit>(PallixAudioUnit::kDescription, 0,
                                              presetsIn(plugin.resources, plugin.presetFolder),
                                              catalogueOf({"a", "b"}))
      .value();
}

// Every parameter's value, by address.
inline std::vector<float> valuesOf(AUAudioUnit& unit, std::size_t count) {
  std::vector<float> values;
  for (std::size_t address = 0; address < count; ++address)
    values.push_back(unit.parameterTree()->parameterWithAddress(address)->value());
  return values;
}

// Every control input's value, by address (the port index).
inline std::vector<float> controlsOf(const Lv2Instance& instance, const OwnPlugin& plugin) {
  std::vector<float> values(plugin.rows.size());
  for (const auto& row : plugin.rows)
    values[row.address] = instance.control(std::string(row.identifier));
  return values;
}
