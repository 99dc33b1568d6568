// quorvane-render: renders a standard MIDI file through the synthesiser to a float WAV.
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "hosting/CommandLine.h"
#include "hosting/Interruption.h"
#include "hosting/TerminalProgress.h"
#include "hosting/ToolMain.h"
#include "hosting/media/WavOutputFile.h"
#include "tools/common/UnitSetup.h"
#include "tools/quorvane-render/MidiEventList.h"
#include "tools/quorvane-render/OfflineRender.h"
#include "tools/quorvane-render/RenderOptions.h"
#include "tools/quorvane-render/SynthSetup.h"

#include <iostream>

namespace tools {
namespace {

constexpr const char* kTool = "quorvane-render";

int run(int argc, const char* const* argv) {
  hosting::watchForInterruption();
  const RenderOptions options = parseRenderOptions(argc, argv);
  if (options.request == hosting::CommandLineRequest::help) {
    std::cout << renderUsage();
    return 0;
  }
  if (options.request == hosting::CommandLineRequest::version) {
    std::cout << hosting::versionLine("quorvane-render");
    return 0;
  }
  if (options.listPresets || options.printState) {
    printUnitListings(*makeSynth(options), options, std::cout);
    return 0;
  }

  hosting::refuseOutputOverInput(options.output, options.input, "the MIDI file");
  refuseOutputOverState(options.output, options);
  for (const auto* tuningFile : {&options.tuning, &options.keyboardMap})
    if (*tuningFile)
      hosting::refuseOutputOverInput(options.output, **tuningFile, "the tuning file");
  const MidiEventList midi = loadMidiEvents(options.input, options.sampleRate);
  const std::int64_t totalFrames = renderFrameCount(options, midi.lastEventSeconds);
  const auto synth = makeSynth(options);
  allocateUnit(*synth, options, "synthesiser");
  hosting::WavOutputFile output(options.output, options.sampleRate);

  hosting::TerminalProgress progress(kTool);
  bool written = true;
  const OSStatus status = renderOffline(
      synth->renderBlock(), midi.events, totalFrames, options.blockSize,
      [&](const float* left, const float* right, int frames) {
        return written = output.write(left, right, frames);
      },
      [&](std::int64_t done) {
        progress.update(done, totalFrames);
        return !hosting::interruptionRequested();
      });
  progress.finish();

  if (hosting::interruptionRequested())
    return hosting::reportError(
        kTool, "interrupted; " + hosting::inQuotes(options.output) + " left as it was",
        hosting::kInterruptedStatus);
  if (status != noErr)
    return hosting::reportError(kTool,
                                "the synthesiser stopped with status " + std::to_string(status) +
                                    "; " + hosting::inQuotes(options.output) + " left as it was",
                                hosting::kFailureStatus);
  if (!written || !output.commit())
    return hosting::reportWriteFailure(kTool, options.output, output.failure());
  return 0;
}

} // namespace
} // namespace tools

int main(int argc, char** argv) {
  return hosting::runTool(tools::kTool, [&] { return tools::run(argc, argv); });
}
