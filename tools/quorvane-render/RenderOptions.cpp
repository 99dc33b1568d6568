// The command line of quorvane-render.
#include "tools/quorvane-render/RenderOptions.h"

#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "tools/common/CommandLine.h"

#include <cmath>
#include <string_view>

namespace {

int parseBoundedInteger(std::string_view option, std::string_view text, int lo, int hi) {
  const auto number = parseInteger(text);
  if (!number)
    throw UsageError(std::string(option) + ": " + inQuotes(text) + " is not a whole number");
  if (*number < lo || *number > hi)
    throw UsageError(std::string(option) + ": " + inQuotes(text) + " is outside " +
                     std::to_string(lo) + " ... " + std::to_string(hi));
  return static_cast<int>(*number);
}

double parseSeconds(std::string_view text) {
  const auto seconds = parseFiniteNumber(text);
  if (!seconds || *seconds < 0.0 || *seconds > RenderOptions::kMaxSeconds)
    throw UsageError("--seconds: " + inQuotes(text) + " is not a number of seconds from 0 to " +
                     std::to_string(static_cast<int>(RenderOptions::kMaxSeconds)));
  return *seconds;
}

ParameterSetting parseSetting(std::string_view text) {
  const auto equals = text.find('=');
  if (equals == std::string_view::npos)
    throw UsageError("--set: " + inQuotes(text) + " is not of the form ID=VALUE");
  const auto identifier = text.substr(0, equals);
  const auto valueText = text.substr(equals + 1);
  if (!quorvaneParameterAddress(identifier))
    throw UsageError("--set: unknown parameter " + inQuotes(identifier));
  const auto value = parseFiniteNumber(valueText);
  if (!value)
    throw UsageError("--set " + std::string(identifier) + ": " + inQuotes(valueText) +
                     " is not a finite number");
  return {std::string(identifier), static_cast<float>(*value)};
}

std::uint64_t parseSeed(std::string_view text) {
  const auto seed = parseUnsigned(text);
  if (!seed)
    throw UsageError("--seed: " + inQuotes(text) + " is not a whole number from 0 to 2^64-1");
  return *seed;
}

} // namespace

RenderOptions parseRenderOptions(int argc, const char* const* argv) {
  RenderOptions options;
  std::vector<std::string_view> positional;
  ArgumentReader reader(argc, argv);
  bool optionsEnded = false;
  while (!reader.done()) {
    const auto argument = reader.next();
    if (optionsEnded || !ArgumentReader::isOption(argument)) {
      positional.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      options.showHelp = true;
      return options;
    } else if (argument == "--sample-rate") {
      options.sampleRate =
          parseBoundedInteger(argument, reader.value(argument), RenderOptions::kMinSampleRate,
                              RenderOptions::kMaxSampleRate);
    } else if (argument == "--block-size") {
      options.blockSize =
          parseBoundedInteger(argument, reader.value(argument), 1, RenderOptions::kMaxBlockSize);
    } else if (argument == "--seconds") {
      options.seconds = parseSeconds(reader.value(argument));
    } else if (argument == "--set") {
      options.settings.push_back(parseSetting(reader.value(argument)));
    } else if (argument == "--seed") {
      options.seed = parseSeed(reader.value(argument));
    } else if (argument == "--resources") {
      options.resources = std::string(reader.value(argument));
    } else if (argument == "--preset") {
      options.preset = std::string(reader.value(argument));
    } else if (argument == "--state") {
      options.state = std::string(reader.value(argument));
    } else if (argument == "--list-presets") {
      options.listPresets = true;
    } else if (argument == "--print-state") {
      options.printState = true;
    } else {
      throw UsageError("unknown option " + inQuotes(argument) + " (see --help)");
    }
  }
  if (options.listPresets || options.printState) {
    if (!positional.empty())
      throw UsageError("unexpected argument " + inQuotes(positional[0]) +
                       ": --list-presets and --print-state render nothing");
    return options;
  }
  if (positional.size() < 2)
    throw UsageError("expected INPUT.mid and OUTPUT.wav (see --help)");
  if (positional.size() > 2)
    throw UsageError("unexpected argument " + inQuotes(positional[2]));
  options.input = positional[0];
  options.output = positional[1];
  return options;
}

std::int64_t renderFrameCount(const RenderOptions& options, double lastEventSeconds) {
  const double seconds =
      options.seconds.value_or(lastEventSeconds + RenderOptions::kDefaultTailSeconds);
  if (!(seconds <= RenderOptions::kMaxSeconds))
    throw UsageError("the MIDI file lasts longer than " +
                     std::to_string(static_cast<int>(RenderOptions::kMaxSeconds)) +
                     " seconds; choose a length with --seconds");
  return std::llround(seconds * options.sampleRate);
}

const char* renderUsage() noexcept {
  return R"(usage: quorvane-render [options] INPUT.mid OUTPUT.wav
       quorvane-render [options] --list-presets | --print-state

Renders a standard MIDI file through the Quorvane synthesiser to a 32-bit float stereo WAV.

  --sample-rate HZ   sample rate, 8000 ... 384000 (44100)
  --block-size N     frames per render call, 1 ... 16384 (512)
  --seconds S        length: exactly round(S x HZ) frames (the last MIDI event plus 3 s)
  --set ID=VALUE     sets a parameter by identifier after the defaults; repeatable
  --seed N           seeds every random source, for renders that repeat exactly
  --resources DIR    takes the factory presets from DIR/presets instead of the bundle's
  --preset P         starts from factory preset P, by number or name (default: preset 0)
  --state FILE       applies a saved state or preset file (after --preset)
  --list-presets     prints the factory presets as NUMBER<TAB>NAME lines and renders nothing
  --print-state      prints the resulting state as an XML property list and renders nothing
  --help             shows this text

Errors are reported on one line, with exit status 2; OUTPUT is replaced only by a
complete render.
)";
}
