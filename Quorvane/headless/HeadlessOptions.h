// The app's command line: quorvane --render FILE.wav [--seconds S] [--tempo BPM] [--demo]
// [--seed N].
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace app {

struct HeadlessOptions {
  static constexpr double kDefaultSeconds = 30.0;
  static constexpr double kMaxSeconds = 24.0 * 60.0 * 60.0;

  bool showHelp = false;
  std::optional<std::string> render; // the WAV to write; without it the app wants its window
  double seconds = kDefaultSeconds;
  std::optional<double> tempo; // as typed; the tempo action rounds and limits it
  bool demo = false;
  std::optional<std::uint64_t> seed;
};

// Throws UsageError for an unknown option, a bad value, a stray argument, or a render option
// without --render.
HeadlessOptions parseHeadlessOptions(int argc, const char* const* argv);

std::string headlessUsage();

} // namespace app
