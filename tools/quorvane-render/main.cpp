// quorvane-render: renders a standard MIDI file through the synthesiser to a float WAV.
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "tools/common/Interruption.h"
#include "tools/common/TerminalProgress.h"
#include "tools/common/ToolMain.h"
#include "tools/common/UnitSetup.h"
#include "tools/quorvane-render/MidiEventList.h"
#include "tools/quorvane-render/OfflineRender.h"
#include "tools/quorvane-render/RenderOptions.h"
#include "tools/quorvane-render/SynthSetup.h"
#include "tools/quorvane-render/WavOutputFile.h"

#include <iostream>

namespace {

constexpr const char* kTool = "quorvane-render";

int run(int argc, const char* const* argv) {
  watchForInterruption();
  const RenderOptions options = parseRenderOptions(argc, argv);
  if (options.showHelp) {
    std::cout << renderUsage();
    return 0;
  }
  if (options.listPresets || options.printState) {
    printUnitListings(*makeSynth(options), options, std::cout);
    return 0;
  }

  const MidiEventList midi = loadMidiEvents(options.input, options.sampleRate);
  const std::int64_t totalFrames = renderFrameCount(options, midi.lastEventSeconds);
  const auto synth = makeSynth(options);
  allocateUnit(*synth, options, "synthesiser");
  WavOutputFile output(options.output, options.sampleRate);

  TerminalProgress progress(kTool);
  bool written = true;
  const OSStatus status = renderOffline(
      synth->renderBlock(), midi.events, totalFrames, options.blockSize,
      [&](const float* left, const float* right, int frames) {
        return written = output.write(left, right, frames);
      },
      [&](std::int64_t done) {
        progress.update(done, totalFrames);
        return !interruptionRequested();
      });
  progress.finish();

  if (interruptionRequested())
    return reportError(kTool, "interrupted; " + inQuotes(options.output) + " left as it was",
                       kInterruptedStatus);
  if (status != noErr)
    return reportError(kTool,
                       "the synthesiser stopped with status " + std::to_string(status) + "; " +
                           inQuotes(options.output) + " left as it was",
                       kFailureStatus);
  if (!written || !output.commit())
    return reportError(kTool, "cannot write " + inQuotes(options.output), kFailureStatus);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  return runTool(kTool, [&] { return run(argc, argv); });
}
