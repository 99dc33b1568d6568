// pallix-render: runs the blues generator as a host would and writes what it plays as MIDI.
#include "PallixAU/unit/PallixAudioUnit.h"
#include "tools/common/BlockRender.h"
#include "tools/common/Interruption.h"
#include "tools/common/ReplacingOutputFile.h"
#include "tools/common/TerminalProgress.h"
#include "tools/common/ToolMain.h"
#include "tools/common/UnitSetup.h"
#include "tools/pallix-render/GeneratorOptions.h"
#include "tools/pallix-render/GeneratorSetup.h"
#include "tools/pallix-render/HostTimeline.h"
#include "tools/pallix-render/MidiCapture.h"
#include "tools/pallix-render/MidiRecording.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <iostream>
#include <optional>
#include <string>

namespace {

constexpr const char* kTool = "pallix-render";

int printListings(const GeneratorOptions& options) {
  const auto generator = makeGenerator(options);
  if (options.listFamilies)
    for (const std::string& family : generator->allFamilies())
      std::cout << family << '\n';
  printUnitListings(*generator, options, std::cout);
  return 0;
}

// Both files are complete in their temporary places before either replaces its destination.
// Returns the file that could not be written, or nothing.
std::optional<std::string> writeOutputs(const GeneratorOptions& options, const MidiCapture& capture,
                                        const HostTimeline& timeline, ReplacingOutputFile& midi,
                                        ReplacingOutputFile* events) {
  const std::int64_t end = options.startSample + generatorFrameCount(options);
  if (!recordingAsMidiFile(capture.messages(), timeline, end).writeTo(midi.stream(), 1))
    return options.output;
  if (events && !writeEventList(capture.messages(), events->stream()))
    return options.events;
  if (!midi.commit())
    return options.output;
  if (events && !events->commit())
    return options.events;
  return std::nullopt;
}

int run(int argc, const char* const* argv) {
  watchForInterruption();
  const GeneratorOptions options = parseGeneratorOptions(argc, argv);
  if (options.showHelp) {
    std::cout << generatorUsage();
    return 0;
  }
  if (options.listPresets || options.printState || options.listFamilies)
    return printListings(options);

  const std::int64_t totalFrames = generatorFrameCount(options);
  const auto generator = makeGenerator(options);
  ReplacingOutputFile midi(options.output);
  std::optional<ReplacingOutputFile> events;
  if (options.events)
    events.emplace(*options.events);

  const auto timeline = std::make_shared<HostTimeline>(options.sampleRate, options.tempo,
                                                       options.meter, options.startSample);
  const auto capture = std::make_shared<MidiCapture>(
      MidiCapture::expectedCount(static_cast<double>(totalFrames) / timeline->samplesPerBeat()));
  connectGenerator(*generator, options, timeline, capture);

  TerminalProgress progress(kTool);
  const OSStatus status = renderInBlocks(
      generator->renderBlock(), {options.startSample, totalFrames, options.blockSize},
      [&](std::int64_t sampleTime, int) -> const AURenderEvent* {
        timeline->setCurrentSampleTime(sampleTime);
        return nullptr;
      },
      [](const float*, const float*, int) { return true; },
      [&](std::int64_t done) {
        progress.update(done, totalFrames);
        return !interruptionRequested();
      });
  progress.finish();
  generator->deallocateRenderResources();

  const std::string untouched = "; " + inQuotes(options.output) + " left as it was";
  if (interruptionRequested())
    return reportError(kTool, "interrupted" + untouched, kInterruptedStatus);
  if (status != noErr)
    return reportError(kTool,
                       "the generator stopped with status " + std::to_string(status) + untouched,
                       kFailureStatus);
  if (const auto failed =
          writeOutputs(options, *capture, *timeline, midi, events ? &*events : nullptr))
    return reportError(kTool, "cannot write " + inQuotes(*failed), kFailureStatus);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  return runTool(kTool, [&] { return run(argc, argv); });
}
