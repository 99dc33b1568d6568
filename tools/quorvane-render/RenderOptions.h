// The command line of quorvane-render: what to render, how, and where to.
#pragma once

#include "hosting/CommandLine.h"

#include "tools/common/UnitOptions.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tools {

struct RenderOptions : UnitOptions {
  // The tail rendered after the last event when --seconds is not given, for releases and echoes.
  static constexpr double kDefaultTailSeconds = 3.0;

  std::optional<std::uint64_t> seed;
  // A Scala scale and keyboard map to play in, after the state.
  std::optional<std::string> tuning, keyboardMap;
  std::string input;
  std::string output;
  // Usage or version asked for instead of the work.
  hosting::CommandLineRequest request = hosting::CommandLineRequest::run;
};

// Throws UsageError naming the option and what is wrong with it.
RenderOptions parseRenderOptions(int argc, const char* const* argv);

// round(S × HZ) for --seconds S, otherwise the last event's time plus the default tail.
// Throws UsageError when that is longer than kMaxSeconds.
std::int64_t renderFrameCount(const RenderOptions& options, double lastEventSeconds);

// The help text, the parameter identifiers last.
std::string renderUsage();

} // namespace tools
