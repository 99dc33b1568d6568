// Offline start-up and render of the app's graph.
#include "Quorvane/HeadlessRender.h"

#include "Quorvane/HostController.h"
#include "Quorvane/MainThreadQueue.h"
#include "platform/audiounit/OfflineAudioOutput.h"
#include "tools/common/CommandLine.h"
#include "tools/common/Interruption.h"
#include "tools/common/TerminalProgress.h"
#include "tools/common/ToolMain.h"
#include "tools/quorvane-render/SynthSetup.h"
#include "tools/quorvane-render/WavOutputFile.h"

#include <cmath>
#include <iostream>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr AUAudioFrameCount kRenderCycle = 512;
constexpr std::int64_t kFramesPerWrite = 16 * kRenderCycle;

} // namespace

int renderHeadless(const HeadlessOptions& options, std::string_view tool) {
  watchForInterruption();
  const std::string& destination = *options.render;
  WavOutputFile wav(destination, kSampleRate); // a bad destination fails before any work

  auto output =
      std::make_shared<OfflineAudioOutput>(AudioFormat::standard(kSampleRate, 2), kRenderCycle);
  MainThreadQueue mainThread;
  const auto controller = HostController::create(
      output, [&mainThread](std::function<void()> task) { mainThread.post(std::move(task)); },
      std::cout);
  InProcessUnitOptions units;
  units.userCatalogues = false;
  if (options.seed) {
    const auto seeds = deriveSeeds(*options.seed);
    units.synthesiserSeeds = {seeds[0], seeds[1], seeds[2]};
  }
  controller->registerInProcessUnits(units);
  mainThread.runUntil([&] { return controller->unitsSettled() == 2; });
  std::cout.flush();

  if (!controller->engine().isRunning())
    return reportError(tool, "nothing to render: the synthesiser is not playing", kFailureStatus);
  if (options.tempo)
    controller->setTempo(*options.tempo);
  if (options.demo)
    controller->togglePlay();

  const std::int64_t totalFrames = std::llround(options.seconds * kSampleRate);
  std::vector<float> left(kFramesPerWrite), right(kFramesPerWrite);
  float* channels[2] = {left.data(), right.data()};
  TerminalProgress progress(std::string{tool});
  for (std::int64_t done = 0; done < totalFrames && !interruptionRequested();) {
    const auto frames = static_cast<int>(std::min(kFramesPerWrite, totalFrames - done));
    if (const OSStatus status = output->render(channels, static_cast<std::size_t>(frames));
        status != noErr)
      return reportError(tool,
                         "the synthesiser stopped with status " + std::to_string(status) + "; " +
                             inQuotes(destination) + " left as it was",
                         kFailureStatus);
    if (!wav.write(left.data(), right.data(), frames))
      return reportError(tool, "cannot write " + inQuotes(destination), kFailureStatus);
    done += frames;
    progress.update(done, totalFrames);
  }
  progress.finish();

  if (interruptionRequested())
    return reportError(tool, "interrupted; " + inQuotes(destination) + " left as it was",
                       kInterruptedStatus);
  if (!wav.commit())
    return reportError(tool, "cannot write " + inQuotes(destination), kFailureStatus);
  return 0;
}
