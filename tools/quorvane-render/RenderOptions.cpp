// The command line of quorvane-render.
#include "tools/quorvane-render/RenderOptions.h"

#include "QuorvaneAU/dsp/QuorvaneParameters.h"

#include <cmath>
#include <string_view>
#include <vector>

namespace tools {

namespace {

std::uint64_t parseSeed(std::string_view text) {
  const auto seed = hosting::parseUnsigned(text);
  if (!seed)
    throw hosting::UsageError("--seed: " + hosting::inQuotes(text) +
                              " is not a whole number from 0 to 2^64-1");
  return *seed;
}

} // namespace

RenderOptions parseRenderOptions(int argc, const char* const* argv) {
  RenderOptions options;
  std::vector<std::string_view> positional;
  options.request = hosting::readCommandLine(
      argc, argv, positional, [&](std::string_view option, hosting::ArgumentReader& reader) {
        if (option == "--tuning" || option == "--keyboard-map") {
          (option == "--tuning" ? options.tuning : options.keyboardMap) =
              std::string(reader.value(option));
          return true;
        }
        if (option != "--seed")
          return readUnitOption(option, reader, options);
        options.seed = parseSeed(reader.value(option));
        return true;
      });
  if (options.request != hosting::CommandLineRequest::run)
    return options;
  if (options.keyboardMap && !options.tuning)
    throw hosting::UsageError("--keyboard-map: maps the keys of a scale; give one with --tuning");
  if (options.listPresets || options.printState) {
    if (!positional.empty())
      throw hosting::UsageError("unexpected argument " + hosting::inQuotes(positional[0]) +
                                ": --list-presets and --print-state render nothing");
    return options;
  }
  if (positional.size() < 2)
    throw hosting::UsageError("expected INPUT.mid and OUTPUT.wav (see --help)");
  if (positional.size() > 2)
    throw hosting::UsageError("unexpected argument " + hosting::inQuotes(positional[2]));
  options.input = positional[0];
  options.output = positional[1];
  return options;
}

std::int64_t renderFrameCount(const RenderOptions& options, double lastEventSeconds) {
  const double seconds =
      options.seconds.value_or(lastEventSeconds + RenderOptions::kDefaultTailSeconds);
  if (!(seconds <= RenderOptions::kMaxSeconds))
    throw hosting::UsageError("the MIDI file lasts longer than " +
                              std::to_string(static_cast<int>(RenderOptions::kMaxSeconds)) +
                              " seconds; choose a length with --seconds");
  return std::llround(seconds * options.sampleRate);
}

std::string renderUsage() {
  std::string text = R"(usage: quorvane-render [options] INPUT.mid OUTPUT.wav
       quorvane-render [options] --list-presets | --print-state

Renders a standard MIDI file through the Quorvane synthesiser to a 32-bit float stereo WAV.

)";
  text += unitOptionsUsage();
  text += R"(  --resources DIR    takes the factory presets from DIR/presets instead of the bundle's
  --seconds S        length: exactly round(S x HZ) frames (the last MIDI event plus 3 s)
  --seed N           seeds every random source, for renders that repeat exactly
  --tuning FILE.scl  plays in this Scala scale (degree 0 on note 60 at its usual pitch)
  --keyboard-map FILE.kbm
                     maps the scale's degrees to the keys (with --tuning)
  --help             shows this text
  --version          prints the name and version

Errors are reported on one line, with exit status 2; OUTPUT is replaced only by a
complete render.

Parameter identifiers:)";
  for (const auto& row : quorvane::dsp::kQuorvaneParameters)
    text.append(1, ' ').append(row.identifier);
  return text + '\n';
}

} // namespace tools
