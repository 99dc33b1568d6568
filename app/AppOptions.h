// The app's command line: the window and its devices, or one of the modes without a window
// (--render, --screenshot, --list-devices).
#pragma once

#include "hosting/CommandLine.h"

#include <cstdint>
#include <optional>
#include <string>

namespace app {

struct AppOptions {
  static constexpr double kDefaultSeconds = 30.0;
  static constexpr double kMaxSeconds = 24.0 * 60.0 * 60.0;
  // The main window's smallest content size, and a bound for screenshots.
  static constexpr int kMinWidth = 480;
  static constexpr int kMinHeight = 492;
  static constexpr int kMaxSide = 8192;
  static constexpr int kHelpPages = 9;

  // Usage or version asked for instead of the work.
  hosting::CommandLineRequest request = hosting::CommandLineRequest::run;
  std::optional<std::string> render; // the WAV to write; without it the app wants its window
  double seconds = kDefaultSeconds;
  std::optional<double> tempo; // as typed; the tempo action rounds and limits it
  bool demo = false;
  std::optional<std::uint64_t> seed;

  bool listDevices = false;
  std::optional<std::string> audioDevice; // an output device by name
  std::optional<std::string> midiInput;   // "all", "none" or an input by name

  std::optional<std::string> screenshot; // the PNG to write
  int width = 720;
  int height = 612;
  bool sizeGiven = false;      // otherwise the help window has its own size
  std::optional<int> helpPage; // 0 (About) to kHelpPages - 1: the help window instead
};

// Throws UsageError for an unknown option, a bad value, a stray argument, two modes at once, or
// an option without the mode it belongs to.
AppOptions parseAppOptions(int argc, const char* const* argv);

std::string appUsage();

} // namespace app
