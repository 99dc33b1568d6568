// Reading editor-snapshot's command line.
#include "tools/editor-snapshot/SnapshotOptions.h"

#include "hosting/CommandLine.h"

#include <string_view>

namespace tools {

namespace {

using hosting::UsageError;

// "WxH" with both sides whole numbers within the limits.
void readSize(std::string_view text, SnapshotOptions& options) {
  const auto x = text.find_first_of("xX");
  if (x == std::string_view::npos)
    throw UsageError("--size: " + hosting::inQuotes(text) + " is not WIDTHxHEIGHT");
  options.width = static_cast<int>(hosting::parseIntegerOption(
      "--size", text.substr(0, x), SnapshotOptions::kMinimumSide, SnapshotOptions::kMaximumSide));
  options.height = static_cast<int>(hosting::parseIntegerOption(
      "--size", text.substr(x + 1), SnapshotOptions::kMinimumSide, SnapshotOptions::kMaximumSide));
}

} // namespace

SnapshotOptions parseSnapshotOptions(int argc, const char* const* argv) {
  SnapshotOptions options;
  std::vector<std::string_view> positional;
  options.request = hosting::readCommandLine(
      argc, argv, positional, [&](std::string_view option, hosting::ArgumentReader& reader) {
        if (option == "--size") {
          readSize(reader.value(option), options);
          return true;
        }
        if (option == "--scale") {
          options.scale =
              hosting::parseNumberOption(option, reader.value(option), 0.25, 8.0, "a scale");
          return true;
        }
        if (option == "--preset-bar" || option == "--open-menu") {
          options.presetBar = true;
          options.openMenu = options.openMenu || option == "--open-menu";
          return true;
        }
        if (option == "--open-tuning-menu") {
          options.openTuningMenu = true;
          return true;
        }
        if (option == "--user-presets") {
          options.userPresets = std::string(reader.value(option));
          options.presetBar = true;
          return true;
        }
        if (option == "--show-value") {
          options.showValue = std::string(reader.value(option));
          return true;
        }
        if (option == "--preset" || option == "--set" || option == "--state" ||
            option == "--resources")
          return readUnitOption(option, reader, options);
        return false;
      });
  if (options.request != hosting::CommandLineRequest::run)
    return options;
  if (positional.size() != 2)
    throw UsageError("expected quorvane or pallix and an output file (see --help)");
  if (positional[0] == "quorvane")
    options.unit = SnapshotUnit::quorvane;
  else if (positional[0] == "pallix")
    options.unit = SnapshotUnit::pallix;
  else
    throw UsageError("unknown editor " + hosting::inQuotes(positional[0]) +
                     "; expected quorvane or pallix");
  options.output = std::string(positional[1]);
  return options;
}

const char* snapshotUsage() noexcept {
  return "usage: editor-snapshot quorvane|pallix [options] OUTPUT.png\n"
         "Draws the unit's editor, showing a unit in the state the options give, into a PNG.\n"
         "  --size WxH         the editor's size in points (720x480 and 480x320 by default)\n"
         "  --scale S          pixels per point, 0.25 ... 8 (1); at most 8192x8192 pixels\n"
         "  --preset P         a factory preset by number or name (default: what a new unit "
         "loads)\n"
         "  --state FILE       a saved state or preset file, after the preset\n"
         "  --set ID=VALUE     a parameter by identifier, last; repeatable\n"
         "  --resources DIR    presets and artwork from DIR instead of beside the binary\n"
         "  --preset-bar       as the plug-ins show it: with the preset bar above\n"
         "  --user-presets DIR the bar lists the user presets in DIR (implies --preset-bar)\n"
         "  --open-menu        the bar's preset menu open (implies --preset-bar)\n"
         "  --open-tuning-menu the synthesiser's tuning menu open\n"
         "  --show-value ID    the knob of parameter ID shows its value, as under the pointer\n"
         "  --help             shows this text\n"
         "  --version          prints the name and version\n";
}

} // namespace tools
