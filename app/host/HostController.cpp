// Start-up, the audio graph, the demo bridge, Play/Stop and tempo, and teardown.
#include "app/host/HostController.h"

#include "app/host/Demo.h"

namespace app {

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Its registered name and codes; a unit made outside the registry has no name.
std::string unitDescription(const AUAudioUnit& unit) {
  const std::string codes = componentDescriptionString(unit.componentDescription());
  return unit.componentName().empty() ? codes : unit.componentName() + " (" + codes + ")";
}

} // namespace

std::shared_ptr<HostController> HostController::create(std::shared_ptr<AudioOutput> output,
                                                       MainThreadPoster toMainThread,
                                                       std::ostream& out) {
  return std::shared_ptr<HostController>(
      new HostController(std::move(output), std::move(toMainThread), out));
}

HostController::HostController(std::shared_ptr<AudioOutput> output, MainThreadPoster toMainThread,
                               std::ostream& out)
    : toMainThread_(std::move(toMainThread)), out_(out) {
  engine_.setOutput(std::move(output));
}

HostController::~HostController() {
  // First, so that the driver is not running when it goes with the members.
  if (pallixObserverToken_ && audioUnit_)
    audioUnit_->removeRenderObserver(*pallixObserverToken_);
}

void HostController::registerInProcessUnits(const InProcessUnitOptions& options) {
  app::registerInProcessUnits(options);
  instantiateSynthesiser();
  instantiateGenerator();
}

void HostController::instantiateSynthesiser() {
  AUAudioUnit::instantiate(
      kInProcessSynthesiser.description, kAudioComponentInstantiation_LoadInProcess,
      [weak = weak_from_this(), post = toMainThread_, &out = out_](auto result) {
        const bool alive = !weak.expired();
        if (alive && result && result.value()) {
          post([weak, unit = std::move(result).value()] {
            if (auto self = weak.lock()) {
              ++self->unitsSettled_;
              self->synthesiserDidLoad(unit);
            }
          });
          return;
        }
        out << "Failed to instantiate AU: "
            << (result ? std::string("unknown") : result.error().localizedDescription()) << '\n';
        post([weak] {
          if (auto self = weak.lock())
            ++self->unitsSettled_;
        });
      });
}

void HostController::instantiateGenerator() {
  AUAudioUnit::instantiate(
      kInProcessGenerator.description, kAudioComponentInstantiation_LoadInProcess,
      [weak = weak_from_this(), post = toMainThread_, &out = out_](auto result) {
        post([weak, &out, result = std::move(result)] {
          auto self = weak.lock();
          if (self)
            ++self->unitsSettled_;
          if (self && result && result.value()) {
            self->pallixDidLoad(result.value());
            return;
          }
          out << "Failed to instantiate Pallix: "
              << (result ? std::string("unknown") : result.error().localizedDescription()) << '\n';
        });
      });
}

void HostController::synthesiserDidLoad(std::shared_ptr<AUAudioUnit> synthesiser) {
  audioUnit_ = std::move(synthesiser);
  engine_.attach(audioUnit_);
  auto started = engine_.connect(audioUnit_, engine_.mainMixer());
  if (started)
    started = engine_.start();
  if (!started)
    out_ << "Engine start error: " << started.error().localizedDescription() << '\n';
  if (synthesiserLoaded_)
    synthesiserLoaded_();
  installPallixBridge();
}

void HostController::pallixDidLoad(std::shared_ptr<AUAudioUnit> pallix) {
  pallixAU_ = std::move(pallix);
  out_ << "Pallix instantiated in-process: " << unitDescription(*pallixAU_) << '\n';
  installPallixBridge();
}

void HostController::installPallixBridge() {
  if (!audioUnit_ || !pallixAU_ || pallixDriver_)
    return;
  if (audioUnit_->outputBusses().empty()) {
    out_ << "Pallix bridge setup failed: the synthesiser has no output bus\n";
    return;
  }
  const AudioFormat format = audioUnit_->outputBusses()[0].format();
  auto driver = PallixDriver::create(pallixAU_, format, *audioUnit_);
  if (!driver) {
    out_ << "Pallix bridge setup failed: " << driver.error().localizedDescription() << '\n';
    return;
  }
  const std::weak_ptr<PallixDriver> weakDriver = driver.value();
  const AUObserverToken token = audioUnit_->tokenByAddingRenderObserver(
      [weakDriver](AudioUnitRenderActionFlags flags, const AudioTimeStamp* timestamp,
                   AUAudioFrameCount frameCount, long) {
        if ((flags & kAudioUnitRenderAction_PreRender) == 0 || timestamp == nullptr)
          return;
        if (auto driver = weakDriver.lock())
          driver->render(*timestamp, frameCount);
      });
  if (token == kAUNoObserverToken) {
    out_ << "Pallix bridge setup failed: the synthesiser takes no more render observers\n";
    return;
  }
  pallixDriver_ = std::move(driver).value();
  pallixObserverToken_ = token;
  out_ << "Pallix bridge installed at " << format.description() << '\n';
}

AUResult<void> HostController::restartEngine() {
  engine_.stop();
  auto started = engine_.start();
  if (!pallixDriver_)
    return started;
  const bool playing = isPlaying_;
  if (playing)
    togglePlay();
  // The engine is stopped or restarted, so no render runs the old driver while it goes.
  audioUnit_->removeRenderObserver(*pallixObserverToken_);
  pallixObserverToken_.reset();
  pallixDriver_.reset();
  installPallixBridge();
  setTempo(tempoBPM_);
  if (playing)
    togglePlay();
  return started;
}

void HostController::togglePlay() {
  isPlaying_ = !isPlaying_;
  // The play button's title ("■" while playing, "▶" while stopped) follows with the window.
  if (!pallixDriver_)
    return;
  PallixDriver::State& state = pallixDriver_->state();
  if (state.isPlaying.load(relaxed) == isPlaying_)
    return;
  state.isPlaying.store(isPlaying_, relaxed);
  if (!isPlaying_) {
    pallixDriver_->allNotesOff();
    state.transportStartSample.store(DemoState::kNoStart, relaxed);
  }
  // Started: the next render latches the start.
}

void HostController::setTempo(double bpm) {
  tempoBPM_ = limitedDemoTempo(bpm);
  if (pallixDriver_)
    pallixDriver_->state().tempo.store(tempoBPM_, relaxed);
}

} // namespace app
