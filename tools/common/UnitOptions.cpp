// The options every tool that hosts a unit shares.
#include "tools/common/UnitOptions.h"

namespace tools {

namespace {

ParameterSetting parseSetting(std::string_view text) {
  const auto equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0)
    throw hosting::UsageError("--set: " + hosting::inQuotes(text) + " is not of the form ID=VALUE");
  const auto identifier = text.substr(0, equals);
  const auto valueText = text.substr(equals + 1);
  const auto value = hosting::parseFiniteNumber(valueText);
  if (!value)
    throw hosting::UsageError("--set " + std::string(identifier) + ": " +
                              hosting::inQuotes(valueText) + " is not a finite number");
  return {std::string(identifier), static_cast<float>(*value)};
}

} // namespace

bool readUnitOption(std::string_view argument, hosting::ArgumentReader& reader,
                    UnitOptions& options) {
  if (argument == "--sample-rate")
    options.sampleRate = static_cast<int>(
        hosting::parseIntegerOption(argument, reader.value(argument), UnitOptions::kMinSampleRate,
                                    UnitOptions::kMaxSampleRate));
  else if (argument == "--block-size")
    options.blockSize = static_cast<int>(hosting::parseIntegerOption(
        argument, reader.value(argument), 1, UnitOptions::kMaxBlockSize));
  else if (argument == "--seconds")
    options.seconds = hosting::parseNumberOption(argument, reader.value(argument), 0.0,
                                                 UnitOptions::kMaxSeconds, "a number of seconds");
  else if (argument == "--set")
    options.settings.push_back(parseSetting(reader.value(argument)));
  else if (argument == "--resources")
    options.resources = std::string(reader.value(argument));
  else if (argument == "--preset")
    options.preset = std::string(reader.value(argument));
  else if (argument == "--state")
    options.state = std::string(reader.value(argument));
  else if (argument == "--list-presets")
    options.listPresets = true;
  else if (argument == "--print-state")
    options.printState = true;
  else
    return false;
  return true;
}

const char* unitOptionsUsage() noexcept {
  return R"(  --sample-rate HZ   sample rate, 8000 ... 384000 (44100)
  --block-size N     frames per render call, 1 ... 16384 (512)
  --set ID=VALUE     sets a parameter by identifier after the defaults; repeatable
  --preset P         starts from factory preset P, by number or name (default: preset 0)
  --state FILE       applies a saved state or preset file (after --preset)
  --list-presets     prints the factory presets as NUMBER<TAB>NAME lines and renders nothing
  --print-state      prints the resulting state as an XML property list and renders nothing
)";
}

} // namespace tools
