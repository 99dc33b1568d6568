// The command line of editor-snapshot.
#pragma once

#include "hosting/CommandLine.h"

#include "tools/common/UnitOptions.h"

#include <optional>
#include <string>

namespace tools {

enum class SnapshotUnit { quorvane, pallix };

struct SnapshotOptions : UnitOptions {
  static constexpr int kMinimumSide = 33;
  static constexpr int kMaximumSide = 8192;
  // The most pixels a picture may have (size times scale, squared): 256 MB of ARGB.
  static constexpr double kMaximumPixels = 8192.0 * 8192.0;

  SnapshotUnit unit = SnapshotUnit::quorvane;
  std::optional<int> width, height; // the editor's own default size otherwise
  double scale = 1.0;               // pixels per point
  // The editor as the plug-ins show it, under its preset bar listing the user presets of
  // userPresets (none listed without it); the bar's menu open.
  bool presetBar = false;
  bool openMenu = false;
  std::optional<std::string> userPresets;
  // The synthesiser's tuning menu open.
  bool openTuningMenu = false;
  // The parameter (by identifier) whose knob shows its value, as under the pointer.
  std::optional<std::string> showValue;
  std::string output;
  // Usage or version asked for instead of the work.
  hosting::CommandLineRequest request = hosting::CommandLineRequest::run;
};

// Throws hosting::UsageError for a bad command line.
SnapshotOptions parseSnapshotOptions(int argc, const char* const* argv);
const char* snapshotUsage() noexcept;

} // namespace tools
