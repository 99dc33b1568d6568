// The command line of quorvane-render: what to render, how, and where to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ParameterSetting {
  std::string identifier;
  float value = 0.0f;
};

struct RenderOptions {
  static constexpr int kMinSampleRate = 8000;
  static constexpr int kMaxSampleRate = 384000;
  static constexpr int kMaxBlockSize = 16384;
  static constexpr double kMaxSeconds = 24.0 * 60.0 * 60.0;
  // The tail rendered after the last event when --seconds is not given, for releases and echoes.
  static constexpr double kDefaultTailSeconds = 3.0;

  int sampleRate = 44100;
  int blockSize = 512;
  std::optional<double> seconds;
  std::vector<ParameterSetting> settings; // in command-line order; later ones win
  std::optional<std::uint64_t> seed;
  std::optional<std::string> resources; // a folder holding "presets"; the bundle's by default
  std::optional<std::string> preset;    // a factory preset's number or name
  std::optional<std::string> state;     // a saved-state or preset file
  std::string input;
  std::string output;
  bool showHelp = false;
  bool listPresets = false; // print the factory presets, render nothing
  bool printState = false;  // print the state the options give, render nothing
};

// Throws UsageError naming the option and what is wrong with it.
RenderOptions parseRenderOptions(int argc, const char* const* argv);

// round(S × HZ) for --seconds S, otherwise the last event's time plus the default tail.
// Throws UsageError when that is longer than kMaxSeconds.
std::int64_t renderFrameCount(const RenderOptions& options, double lastEventSeconds);

const char* renderUsage() noexcept;
