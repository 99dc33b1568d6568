// What the app's window controller does without a window: registers and instantiates both units
// in process, builds the audio graph, installs the demo bridge, and runs Play/Stop and the tempo.
#pragma once

#include "app/host/InProcessUnits.h"
#include "app/host/PallixDriver.h"
#include "platform/audiounit/AudioEngine.h"

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

namespace app {

// Threads: every member on the main thread. Instantiation completions arrive on the
// registry's thread and reach the main thread through the poster given at creation; they hold
// the controller weakly.
class HostController : public std::enable_shared_from_this<HostController> {
public:
  // Runs a task on the main thread, later; callable from any thread.
  using MainThreadPoster = std::function<void(std::function<void()>)>;

  // output: where the engine's mix goes (a device, or offline); out: where the start-up lines
  // go, which must outlive every instantiation started here.
  static std::shared_ptr<HostController> create(std::shared_ptr<AudioOutput> output,
                                                MainThreadPoster toMainThread, std::ostream& out);
  // Removes the render observer, so the driver is no longer called.
  ~HostController();
  HostController(const HostController&) = delete;
  HostController& operator=(const HostController&) = delete;

  // Registers both units and instantiates them, synthesiser first.
  void registerInProcessUnits(const InProcessUnitOptions& options);
  // The main-thread halves of the two instantiations: the graph and engine for the
  // synthesiser, then (both) the bridge.
  void synthesiserDidLoad(std::shared_ptr<AUAudioUnit> synthesiser);
  void pallixDidLoad(std::shared_ptr<AUAudioUnit> pallix);
  // Does nothing until both units exist, and once a driver exists.
  void installPallixBridge();

  // Called by synthesiserDidLoad once the engine has started (or failed to), before the bridge:
  // where a window embeds the editor and builds its presets. Main thread.
  void setSynthesiserLoadedAction(std::function<void()> action) {
    synthesiserLoaded_ = std::move(action);
  }

  // Starts the engine again after its output changed format (another device or rate): the
  // units are prepared anew, and the demo driver, prepared at the old rate, is built again with
  // its Play state and tempo. Returns the engine's start result.
  AUResult<void> restartEngine();

  // The Play/Stop action.
  void togglePlay();
  // What the tempo field and stepper do with their value.
  void setTempo(double bpm);

  bool isPlaying() const noexcept { return isPlaying_; }
  double tempoBPM() const noexcept { return tempoBPM_; }
  AudioEngine& engine() noexcept { return engine_; }
  const std::shared_ptr<AUAudioUnit>& audioUnit() const noexcept { return audioUnit_; }
  const std::shared_ptr<AUAudioUnit>& pallixAU() const noexcept { return pallixAU_; }
  const std::shared_ptr<PallixDriver>& pallixDriver() const noexcept { return pallixDriver_; }
  std::optional<AUObserverToken> pallixObserverToken() const noexcept {
    return pallixObserverToken_;
  }
  // How many of the two instantiations have finished, either way.
  int unitsSettled() const noexcept { return unitsSettled_; }

private:
  HostController(std::shared_ptr<AudioOutput> output, MainThreadPoster toMainThread,
                 std::ostream& out);
  void instantiateSynthesiser();
  void instantiateGenerator();

  AudioEngine engine_;
  std::shared_ptr<AUAudioUnit> audioUnit_;
  std::shared_ptr<AUAudioUnit> pallixAU_;
  std::shared_ptr<PallixDriver> pallixDriver_;
  std::optional<AUObserverToken> pallixObserverToken_;
  bool isPlaying_ = false;
  double tempoBPM_ = 120.0;
  int unitsSettled_ = 0;
  MainThreadPoster toMainThread_;
  std::function<void()> synthesiserLoaded_;
  std::ostream& out_;
};

} // namespace app
