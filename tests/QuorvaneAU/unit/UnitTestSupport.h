// Shared helpers for the synthesiser unit's tests: preset folders, units, render calls.
#pragma once

#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/audiounit/RenderEventList.h"
#include "platform/foundation/Bundle.h"
#include "tests/support/HostRig.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/UnitValues.h"
#include "tests/support/Units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

// The table's defaults in address order (the recorded parameter listing checks the table).
inline const std::vector<AUValue> kInitialValues = [] {
  std::vector<AUValue> values;
  for (const auto& row : quorvane::dsp::kQuorvaneParameters)
    values.push_back(row.defaultValue);
  return values;
}();

// A resources folder with a "presets" subfolder, removed with the object.
struct PresetFolder : TemporaryFolder {
  PresetFolder() : TemporaryFolder("quorvane-unit") {
    std::filesystem::create_directory(path / "presets");
  }
  void write(const std::string& name, std::string_view bytes) const {
    writeFile(path / "presets" / name, bytes);
  }
  void writeXML(const std::string& name, const foundation::PropertyList& plist) const {
    write(name, plist.toXML());
  }
};

inline foundation::PropertyList stateWith(foundation::PropertyList params) {
  return foundation::PropertyList(
      foundation::PropertyList::Dictionary{{"quorvaneParams", std::move(params)}});
}

// Sets every parameter to a value unlike its initial one, so a reset to defaults shows.
inline std::vector<AUValue> scramble(AUAudioUnit& unit) {
  const auto& parameters = unit.parameterTree()->allParameters();
  for (std::size_t i = 0; i < parameters.size(); ++i)
    parameters[i]->setValue(0.05f * float(i + 1) + 0.001f);
  return values(unit);
}
