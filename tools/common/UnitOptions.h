// The options every tool that hosts a unit shares: sample rate, block size, length, and what
// reaches the unit (factory preset, saved state, parameter settings, resources folder).
#pragma once

#include "hosting/CommandLine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct ParameterSetting {
  std::string identifier;
  float value = 0.0f;
};

struct UnitOptions {
  static constexpr int kMinSampleRate = 8000;
  static constexpr int kMaxSampleRate = 384000;
  static constexpr int kMaxBlockSize = 16384;
  static constexpr double kMaxSeconds = 24.0 * 60.0 * 60.0;

  int sampleRate = 44100;
  int blockSize = 512; // frames per render call and maximumFramesToRender
  std::optional<double> seconds;
  std::vector<ParameterSetting> settings; // in command-line order; later ones win
  std::optional<std::string> resources; // a folder of the unit's resources; the bundle's otherwise
  std::optional<std::string> preset;    // a factory preset's number or name
  std::optional<std::string> state;     // a saved-state or preset file
  bool listPresets = false;             // print the factory presets, render nothing
  bool printState = false;              // print the state the options give, render nothing
};

// When argument is one of these options, reads its value from reader into options and returns
// true; false for any other argument. Throws UsageError for a bad value. Parameter identifiers
// are checked against the unit later, when the settings are applied.
bool readUnitOption(std::string_view argument, hosting::ArgumentReader& reader,
                    UnitOptions& options);

// The help lines of these options but --seconds and --resources, whose meaning each tool words.
const char* unitOptionsUsage() noexcept;

} // namespace tools
