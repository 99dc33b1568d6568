// pallix-render: runs the blues generator as a host would and writes what it plays as MIDI.
#include "PallixAU/unit/PallixAudioUnit.h"
#include "hosting/CommandLine.h"
#include "hosting/HostTimeline.h"
#include "hosting/Interruption.h"
#include "hosting/TerminalProgress.h"
#include "hosting/ToolMain.h"
#include "hosting/media/ReplacingOutputFile.h"
#include "tools/common/BlockRender.h"
#include "tools/common/UnitSetup.h"
#include "tools/pallix-render/GeneratorOptions.h"
#include "tools/pallix-render/GeneratorSetup.h"
#include "tools/pallix-render/MidiCapture.h"
#include "tools/pallix-render/MidiRecording.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <iostream>
#include <optional>
#include <string>

namespace tools {
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
// Returns the output that could not be written, or null.
hosting::ReplacingOutputFile* writeOutputs(const GeneratorOptions& options,
                                           const MidiCapture& capture,
                                           const hosting::HostTimeline& timeline,
                                           hosting::ReplacingOutputFile& midi,
                                           hosting::ReplacingOutputFile* events) {
  const std::int64_t end = options.startSample + generatorFrameCount(options);
  if (!recordingAsMidiFile(capture.messages(), timeline, end).writeTo(midi.stream(), 1))
    midi.failWrite(&midi.stream());
  if (events && !writeEventList(capture.messages(), events->stream()))
    events->failWrite(&events->stream());
  if (!midi.commit())
    return &midi;
  if (events && !events->commit())
    return events;
  return nullptr;
}

// Two outputs in one file, or one over the --state file, would lose one of them.
void refuseClashingOutputs(const GeneratorOptions& options) {
  refuseOutputOverState(options.output, options);
  if (!options.events)
    return;
  refuseOutputOverState(*options.events, options);
  // The same path is refused with the options; this finds one file under two names.
  hosting::refuseOutputOverInput(*options.events, options.output, "the MIDI output");
}

int run(int argc, const char* const* argv) {
  hosting::watchForInterruption();
  const GeneratorOptions options = parseGeneratorOptions(argc, argv);
  if (options.request == hosting::CommandLineRequest::help) {
    std::cout << generatorUsage();
    return 0;
  }
  if (options.request == hosting::CommandLineRequest::version) {
    std::cout << hosting::versionLine("pallix-render");
    return 0;
  }
  if (options.listPresets || options.printState || options.listFamilies)
    return printListings(options);

  refuseClashingOutputs(options);
  const std::int64_t totalFrames = generatorFrameCount(options);
  const auto generator = makeGenerator(options);
  hosting::ReplacingOutputFile midi(options.output);
  std::optional<hosting::ReplacingOutputFile> events;
  if (options.events)
    events.emplace(*options.events);

  const auto timeline = std::make_shared<hosting::HostTimeline>(
      options.sampleRate, options.tempo, options.meter, options.startSample, options.startQuarter);
  const auto capture = std::make_shared<MidiCapture>(
      MidiCapture::expectedCount(static_cast<double>(totalFrames) / timeline->samplesPerBeat()));
  connectGenerator(*generator, options, timeline, capture);

  hosting::TerminalProgress progress(kTool);
  const OSStatus status = renderInBlocks(
      generator->renderBlock(), {options.startSample, totalFrames, options.blockSize},
      [&](std::int64_t sampleTime, int) -> const AURenderEvent* {
        timeline->setCurrentSampleTime(sampleTime);
        return nullptr;
      },
      [](const float*, const float*, int) { return true; },
      [&](std::int64_t done) {
        progress.update(done, totalFrames);
        return !hosting::interruptionRequested();
      });
  progress.finish();
  generator->deallocateRenderResources();

  const std::string untouched = "; " + hosting::inQuotes(options.output) + " left as it was";
  if (hosting::interruptionRequested())
    return hosting::reportError(kTool, "interrupted" + untouched, hosting::kInterruptedStatus);
  if (status != noErr)
    return hosting::reportError(
        kTool, "the generator stopped with status " + std::to_string(status) + untouched,
        hosting::kFailureStatus);
  if (const auto* failed =
          writeOutputs(options, *capture, *timeline, midi, events ? &*events : nullptr))
    return hosting::reportWriteFailure(kTool, failed == &midi ? options.output : *options.events,
                                       failed->failure());
  return 0;
}

} // namespace
} // namespace tools

int main(int argc, char** argv) {
  return hosting::runTool(tools::kTool, [&] { return tools::run(argc, argv); });
}
