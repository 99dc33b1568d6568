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

// Written out here rather than taken from the unit, so the tests check the unit's table.
inline const std::vector<AUValue> kInitialValues = {
    0.5f, 0, 0, 0.005f, 0.08f, 0.4f, 0.25f, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline const std::array<const char*, 21> kIdentifiers = {
    "shape",     "detuneSpread", "rowSpread", "attack",     "decay",         "sustain",
    "release",   "rate",         "motion",    "spacetime",  "drive",         "frequency",
    "resonance", "drift",        "echo",      "filterType", "filterRolloff", "aftertouchDepth",
    "echoTime",  "boost",        "space"};

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
