// The command line of pallix-render.
#include "tools/pallix-render/GeneratorOptions.h"

#include "PallixAU/unit/PallixParameterSet.h"
#include "tools/common/UnitSetup.h"

#include <cmath>
#include <filesystem>
#include <string_view>
#include <vector>

namespace tools {

namespace {

hosting::Meter parseMeter(std::string_view text) {
  const auto slash = text.find('/');
  const auto numerator = hosting::parseInteger(text.substr(0, slash));
  const auto denominator = slash == std::string_view::npos
                               ? std::nullopt
                               : hosting::parseInteger(text.substr(slash + 1));
  if (!numerator || !denominator || *numerator < 1 || *denominator < 1 ||
      *numerator > GeneratorOptions::kMaxNumerator ||
      *denominator > GeneratorOptions::kMaxDenominator)
    throw hosting::UsageError(
        "--meter: " + hosting::inQuotes(text) + " is not N/D with N from 1 to " +
        std::to_string(GeneratorOptions::kMaxNumerator) + " and D from 1 to " +
        std::to_string(GeneratorOptions::kMaxDenominator));
  // A MIDI file's time signature stores the denominator as a power of two; any other would
  // leave the file's bars out of step with what was played.
  if ((*denominator & (*denominator - 1)) != 0)
    throw hosting::UsageError("--meter: " + hosting::inQuotes(text) +
                              ": a MIDI file's time signature takes a power of two below the "
                              "line (1, 2, 4, 8, ... 256)");
  return {static_cast<int>(*numerator), static_cast<int>(*denominator)};
}

bool sameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) // absolute() refuses empty paths; writing them fails anyway
    return false;
  return std::filesystem::absolute(a).lexically_normal() ==
         std::filesystem::absolute(b).lexically_normal();
}

void checkCombinations(const GeneratorOptions& options,
                       const std::vector<std::string_view>& positional) {
  if (options.seconds && options.bars)
    throw hosting::UsageError("--bars and --seconds both give the length; choose one");
  if (options.listPresets || options.printState || options.listFamilies) {
    if (!positional.empty())
      throw hosting::UsageError(
          "unexpected argument " + hosting::inQuotes(positional[0]) +
          ": --list-presets, --list-families and --print-state render nothing");
    return;
  }
  if (positional.empty())
    throw hosting::UsageError("expected OUTPUT.mid (see --help)");
  if (positional.size() > 1)
    throw hosting::UsageError("unexpected argument " + hosting::inQuotes(positional[1]));
  if (options.events && sameFile(*options.events, std::string(positional[0])))
    throw hosting::UsageError("--events: " + hosting::inQuotes(*options.events) +
                              " is the MIDI file too");
}

// Reads the options of this tool into options; false for any other.
bool readGeneratorOption(std::string_view option, hosting::ArgumentReader& reader,
                         GeneratorOptions& options) {
  if (option == "--tempo")
    options.tempo = hosting::parseNumberOption(
        option, reader.value(option), GeneratorOptions::kMinTempo, GeneratorOptions::kMaxTempo,
        "a tempo in quarter notes a minute");
  else if (option == "--meter")
    options.meter = parseMeter(reader.value(option));
  else if (option == "--bars")
    options.bars = hosting::parseNumberOption(option, reader.value(option), 0.0,
                                              UnitOptions::kMaxSeconds, "a number of bars");
  else if (option == "--start-sample")
    options.startSample = hosting::parseIntegerOption(option, reader.value(option), 0,
                                                      GeneratorOptions::kMaxStartSample);
  else if (option == "--start-quarter")
    options.startQuarter = hosting::parseNumberOption(option, reader.value(option), 0.0,
                                                      GeneratorOptions::kMaxStartQuarter,
                                                      "a position in quarter notes");
  else if (option == "--family")
    options.family = std::string(reader.value(option));
  else if (option == "--events")
    options.events = std::string(reader.value(option));
  else if (option == "--list-families")
    options.listFamilies = true;
  else
    return readUnitOption(option, reader, options);
  return true;
}

} // namespace

GeneratorOptions parseGeneratorOptions(int argc, const char* const* argv) {
  GeneratorOptions options;
  std::vector<std::string_view> positional;
  options.request = hosting::readCommandLine(
      argc, argv, positional, [&](std::string_view option, hosting::ArgumentReader& reader) {
        return readGeneratorOption(option, reader, options);
      });
  if (options.request != hosting::CommandLineRequest::run)
    return options;
  checkCombinations(options, positional);
  if (!positional.empty())
    options.output = positional[0];
  return options;
}

std::int64_t generatorFrameCount(const GeneratorOptions& options) {
  const double rate = options.sampleRate;
  const double frames = options.seconds
                            ? *options.seconds * rate
                            : options.bars.value_or(GeneratorOptions::kDefaultBars) *
                                  options.meter.quartersPerBar() * rate * 60.0 / options.tempo;
  if (!(frames <= UnitOptions::kMaxSeconds * rate))
    throw hosting::UsageError("the run would last longer than " +
                              std::to_string(static_cast<int>(UnitOptions::kMaxSeconds)) +
                              " seconds; choose fewer --bars");
  return std::llround(frames);
}

std::string generatorUsage() {
  std::string text = R"(usage: pallix-render [options] OUTPUT.mid
       pallix-render [options] --list-presets | --list-families | --print-state

Runs the Pallix blues generator as a host would, with the transport moving from the first
render call, and writes the notes it plays to a standard MIDI file (960 ticks a quarter).

)";
  text += unitOptionsUsage();
  text += R"(  --resources DIR    takes the factory presets from DIR/pallix-presets and the phrase
                     catalogues from DIR/Catalogues instead of the bundle's
  --tempo BPM        quarter notes a minute, 4 ... 1000 (120)
  --meter N/D        time signature (4/4); D a power of two, as MIDI files store it
  --bars K           length in bars (24)
  --seconds S        length: exactly round(S x HZ) frames, instead of --bars
  --start-sample T   sample time of the first render call (0)
  --start-quarter Q  the host's position at the first render call, in quarter notes from the
                     song's start, 0 ... 100000 (0); the MIDI file keeps the song's bars
  --family NAME      plays fills from that phrase family only
  --events FILE      also writes every message sent, one "SAMPLETIME BYTE0 BYTE1 BYTE2"
                     line each, in order of sending
  --list-families    prints the phrase families, one a line, and renders nothing
  --help             shows this text
  --version          prints the name and version

Notes still sounding when the run ends end at its last tick. Errors are reported on one
line, with exit status 2; no output file is replaced unless the run completes.

Parameter identifiers:)";
  for (const std::string& identifier :
       parameterIdentifiers(*pallix::unit::makePallixParameterTree()))
    text.append(1, ' ').append(identifier);
  return text + '\n';
}

} // namespace tools
