// quorvane-render: renders a standard MIDI file through the synthesiser to a float WAV.
#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "tools/common/CommandLine.h"
#include "tools/common/Interruption.h"
#include "tools/common/TerminalProgress.h"
#include "tools/quorvane-render/MidiEventList.h"
#include "tools/quorvane-render/OfflineRender.h"
#include "tools/quorvane-render/RenderOptions.h"
#include "tools/quorvane-render/SynthSetup.h"
#include "tools/quorvane-render/WavOutputFile.h"

#include <iostream>

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;
constexpr int kInterruptedStatus = 130;

void printHelp() {
  std::cout << renderUsage() << "\nParameter identifiers:";
  for (const auto identifier : kQuorvaneParameterIdentifiers)
    std::cout << ' ' << identifier;
  std::cout << '\n';
}

int fail(const std::string& message, int status) {
  std::cerr << "quorvane-render: " << message << '\n';
  return status;
}

int run(int argc, const char* const* argv) {
  watchForInterruption();
  const RenderOptions options = parseRenderOptions(argc, argv);
  if (options.showHelp) {
    printHelp();
    return 0;
  }
  if (options.listPresets || options.printState) {
    const auto synth = makeSynth(options);
    if (options.listPresets)
      for (const AUAudioUnitPreset& preset : synth->factoryPresets())
        std::cout << preset.number << '\t' << preset.name << '\n';
    if (options.printState)
      std::cout << synth->fullState()->toXML();
    return 0;
  }

  const MidiEventList midi = loadMidiEvents(options.input, options.sampleRate);
  const std::int64_t totalFrames = renderFrameCount(options, midi.lastEventSeconds);
  const auto synth = makeSynth(options);
  allocateSynth(*synth, options);
  WavOutputFile output(options.output, options.sampleRate);

  TerminalProgress progress("quorvane-render");
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
    return fail("interrupted; " + inQuotes(options.output) + " left as it was", kInterruptedStatus);
  if (status != noErr)
    return fail("the synthesiser stopped with status " + std::to_string(status) + "; " +
                    inQuotes(options.output) + " left as it was",
                kFailureStatus);
  if (!written || !output.commit())
    return fail("cannot write " + inQuotes(options.output), kFailureStatus);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const UsageError& error) {
    return fail(error.what(), kUsageStatus);
  } catch (const std::exception& error) {
    return fail(error.what(), kFailureStatus);
  }
}
