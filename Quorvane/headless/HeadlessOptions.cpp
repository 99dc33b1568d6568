// Reading the app's command line.
#include "Quorvane/headless/HeadlessOptions.h"

#include "hosting/CommandLine.h"

#include <string_view>
#include <vector>

namespace app {

HeadlessOptions parseHeadlessOptions(int argc, const char* const* argv) {
  HeadlessOptions options;
  bool renderOptionGiven = false;
  std::vector<std::string_view> positional;
  const auto readOption = [&](std::string_view option, hosting::ArgumentReader& reader) {
    if (option == "--render") {
      options.render = std::string(reader.value(option));
      return true;
    }
    renderOptionGiven = true;
    if (option == "--demo") {
      options.demo = true;
    } else if (option == "--seconds") {
      options.seconds = hosting::parseNumberOption(
          option, reader.value(option), 0.0, HeadlessOptions::kMaxSeconds, "a length in seconds");
    } else if (option == "--tempo") {
      const auto text = reader.value(option);
      options.tempo = hosting::parseFiniteNumber(text);
      if (!options.tempo)
        throw hosting::UsageError("--tempo: " + hosting::inQuotes(text) + " is not a number");
    } else if (option == "--seed") {
      const auto text = reader.value(option);
      options.seed = hosting::parseUnsigned(text);
      if (!options.seed)
        throw hosting::UsageError("--seed: " + hosting::inQuotes(text) +
                                  " is not a whole number from 0 to 2^64-1");
    } else {
      return false;
    }
    return true;
  };
  options.showHelp = !hosting::readCommandLine(argc, argv, positional, readOption);
  if (options.showHelp)
    return options;
  if (!positional.empty())
    throw hosting::UsageError("unexpected argument " + hosting::inQuotes(positional[0]) +
                              " (see --help)");
  if (renderOptionGiven && !options.render)
    throw hosting::UsageError("--seconds, --tempo, --demo and --seed go with --render FILE.wav");
  return options;
}

std::string headlessUsage() {
  return R"(usage: quorvane --render FILE.wav [--seconds S] [--tempo BPM] [--demo] [--seed N]

Renders the app's own graph offline, with no window and no sound card: the synthesiser with
its current preset and, with --demo, the blues demo playing into it.

  --render FILE.wav  writes a 32-bit float stereo WAV at 44100 Hz
  --seconds S        length in seconds (30)
  --tempo BPM        the demo's tempo, rounded to a whole number within 40 ... 240 (120)
  --demo             presses Play at the first render
  --seed N           seeds every random source of the synthesiser, for renders that repeat
  --help             shows this text

Start-up messages go to standard output. Errors are reported on one line, with exit status 2
for a bad command line; FILE is replaced only by a complete render.
)";
}

} // namespace app
