// Reading the app's command line.
#include "app/AppOptions.h"

#include "hosting/CommandLine.h"

#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace app {

namespace {

std::string nonEmpty(std::string_view option, std::string_view text) {
  if (text.empty())
    throw hosting::UsageError(std::string(option) + ": the name is empty");
  return std::string(text);
}

// "WxH", each side a whole number from the window's minimum to kMaxSide.
std::pair<int, int> parseSize(std::string_view option, std::string_view text) {
  const auto cross = text.find('x');
  const auto width =
      cross == std::string_view::npos ? std::nullopt : hosting::parseInteger(text.substr(0, cross));
  const auto height = cross == std::string_view::npos
                          ? std::nullopt
                          : hosting::parseInteger(text.substr(cross + 1));
  if (!width || !height)
    throw hosting::UsageError(std::string(option) + ": " + hosting::inQuotes(text) +
                              " is not a size WIDTHxHEIGHT such as 720x612");
  if (*width < AppOptions::kMinWidth || *height < AppOptions::kMinHeight ||
      *width > AppOptions::kMaxSide || *height > AppOptions::kMaxSide)
    throw hosting::UsageError(std::string(option) + ": " + hosting::inQuotes(text) +
                              " is outside 480x492 ... 8192x8192");
  return {static_cast<int>(*width), static_cast<int>(*height)};
}

} // namespace

AppOptions parseAppOptions(int argc, const char* const* argv) {
  AppOptions options;
  bool renderOptionGiven = false;
  bool screenshotOptionGiven = false;
  bool deviceOptionGiven = false;
  std::vector<std::string_view> positional;
  const auto readRenderOption = [&](std::string_view option, hosting::ArgumentReader& reader) {
    if (option == "--demo") {
      options.demo = true;
    } else if (option == "--seconds") {
      options.seconds = hosting::parseNumberOption(option, reader.value(option), 0.0,
                                                   AppOptions::kMaxSeconds, "a length in seconds");
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
  const auto readOption = [&](std::string_view option, hosting::ArgumentReader& reader) {
    if (option == "--render") {
      options.render = std::string(reader.value(option));
    } else if (option == "--screenshot") {
      options.screenshot = std::string(reader.value(option));
    } else if (option == "--list-devices") {
      options.listDevices = true;
    } else if (option == "--size") {
      screenshotOptionGiven = true;
      std::tie(options.width, options.height) = parseSize(option, reader.value(option));
      options.sizeGiven = true;
    } else if (option == "--help-page") {
      screenshotOptionGiven = true;
      options.helpPage = static_cast<int>(
          hosting::parseIntegerOption(option, reader.value(option), 0, AppOptions::kHelpPages - 1));
    } else if (option == "--audio-device") {
      deviceOptionGiven = true;
      options.audioDevice = nonEmpty(option, reader.value(option));
    } else if (option == "--midi-input") {
      deviceOptionGiven = true;
      options.midiInput = nonEmpty(option, reader.value(option));
    } else if (readRenderOption(option, reader)) {
      renderOptionGiven = true;
    } else {
      return false;
    }
    return true;
  };
  options.request = hosting::readCommandLine(argc, argv, positional, readOption);
  if (options.request != hosting::CommandLineRequest::run)
    return options;
  if (!positional.empty())
    throw hosting::UsageError("unexpected argument " + hosting::inQuotes(positional[0]) +
                              " (see --help)");
  const int modes = int(options.render.has_value()) + int(options.screenshot.has_value()) +
                    int(options.listDevices);
  if (modes > 1)
    throw hosting::UsageError("--render, --screenshot and --list-devices go one at a time");
  if (renderOptionGiven && !options.render)
    throw hosting::UsageError("--seconds, --tempo, --demo and --seed go with --render FILE.wav");
  if (screenshotOptionGiven && !options.screenshot)
    throw hosting::UsageError("--size and --help-page go with --screenshot FILE.png");
  if (deviceOptionGiven && modes > 0)
    throw hosting::UsageError(
        "--audio-device and --midi-input are for the window, not with --render, --screenshot "
        "or --list-devices");
  return options;
}

std::string appUsage() {
  return R"(usage: quorvane [--audio-device NAME] [--midi-input NAME|all|none]
       quorvane --render FILE.wav [--seconds S] [--tempo BPM] [--demo] [--seed N]
       quorvane --screenshot FILE.png [--size WxH] [--help-page N]
       quorvane --list-devices

With a display, opens the window and plays through JACK when a JACK server runs, otherwise
through the default ALSA device; the devices chosen in Audio and MIDI Settings (Ctrl+,) are
used again at the next start.

  --audio-device NAME  plays through this output device (see --list-devices)
  --midi-input NAME    listens to this MIDI input only; "all" (the default) listens to every
                       ALSA input and to JACK MIDI, "none" to no input
  --list-devices       prints the audio outputs and MIDI inputs, one per line, and exits

Renders the app's own graph offline, with no window and no sound card: the synthesiser with
its current preset and, with --demo, the blues demo playing into it.

  --render FILE.wav  writes a 32-bit float stereo WAV at 44100 Hz
  --seconds S        length in seconds (30)
  --tempo BPM        the demo's tempo, rounded to a whole number within 40 ... 240 (120)
  --demo             presses Play at the first render
  --seed N           seeds every random source of the synthesiser, for renders that repeat

Draws the window into a PNG with no display:

  --screenshot FILE.png  the main window with the synthesiser ready
  --size WxH             its size (720x612; at least 480x492)
  --help-page N          the help window on page N instead (0, About, to 8)

  --help             shows this text
  --version          prints the name and version

Start-up messages go to standard output. Errors are reported on one line, with exit status 2
for a bad command line; FILE is replaced only by a complete render.
)";
}

} // namespace app
