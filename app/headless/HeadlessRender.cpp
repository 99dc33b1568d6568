// Offline start-up and render of the app's graph.
#include "app/headless/HeadlessRender.h"

#include "app/host/HostController.h"
#include "app/host/MainThreadQueue.h"
#include "hosting/CommandLine.h"
#include "hosting/Interruption.h"
#include "hosting/OutputDestination.h"
#include "hosting/Seeds.h"
#include "hosting/TerminalProgress.h"
#include "hosting/ToolMain.h"
#include "hosting/media/WavOutputFile.h"
#include "platform/audiounit/OfflineAudioOutput.h"

#include <cmath>
#include <iostream>
#include <vector>

namespace app {

namespace {

constexpr int kSampleRate = 44100;
constexpr AUAudioFrameCount kRenderCycle = 512;
constexpr std::int64_t kFramesPerWrite = 16 * kRenderCycle;

} // namespace

int renderHeadless(const AppOptions& options, std::string_view tool) {
  hosting::watchForInterruption();
  const std::string& destination = *options.render;
  hosting::WavOutputFile wav(destination, kSampleRate); // a bad destination fails before any work

  auto output =
      std::make_shared<OfflineAudioOutput>(AudioFormat::standard(kSampleRate, 2), kRenderCycle);
  MainThreadQueue mainThread;
  const auto controller = HostController::create(
      output, [&mainThread](std::function<void()> task) { mainThread.post(std::move(task)); },
      destination == hosting::kStandardOutput ? std::cerr : std::cout); // the WAV may be piped
  InProcessUnitOptions units;
  units.userCatalogues = false;
  if (options.seed) {
    const auto seeds = hosting::deriveSeeds(*options.seed);
    units.synthesiserSeeds = {seeds[0], seeds[1], seeds[2]};
  }
  controller->registerInProcessUnits(units);
  mainThread.runUntil([&] { return controller->unitsSettled() == 2; });
  std::cout.flush();

  if (!controller->engine().isRunning())
    return hosting::reportError(tool, "nothing to render: the synthesiser is not playing",
                                hosting::kFailureStatus);
  if (options.tempo)
    controller->setTempo(*options.tempo);
  if (options.demo)
    controller->togglePlay();

  const std::int64_t totalFrames = std::llround(options.seconds * kSampleRate);
  std::vector<float> left(kFramesPerWrite), right(kFramesPerWrite);
  float* channels[2] = {left.data(), right.data()};
  hosting::TerminalProgress progress(std::string{tool});
  for (std::int64_t done = 0; done < totalFrames && !hosting::interruptionRequested();) {
    const auto frames = static_cast<int>(std::min(kFramesPerWrite, totalFrames - done));
    if (const OSStatus status = output->render(channels, static_cast<std::size_t>(frames));
        status != noErr)
      return hosting::reportError(tool,
                                  "the synthesiser stopped with status " + std::to_string(status) +
                                      "; " + hosting::inQuotes(destination) + " left as it was",
                                  hosting::kFailureStatus);
    if (!wav.write(left.data(), right.data(), frames))
      return hosting::reportWriteFailure(tool, destination, wav.failure());
    done += frames;
    progress.update(done, totalFrames);
  }
  progress.finish();

  if (hosting::interruptionRequested())
    return hosting::reportError(
        tool, "interrupted; " + hosting::inQuotes(destination) + " left as it was",
        hosting::kInterruptedStatus);
  if (!wav.commit())
    return hosting::reportWriteFailure(tool, destination, wav.failure());
  return 0;
}

} // namespace app
