// The audio-unit base class: defaults, render resources, blocks, observers, presets and state.
#include "platform/audiounit/AUAudioUnit.h"

#include "platform/audiounit/AURenderCore.h"
#include "platform/audiounit/ObserverList.h"

struct AUAudioUnit::StateObservers {
  static constexpr std::size_t kCapacity = 16;
  ObserverList<kCapacity> fullState;
  ObserverList<kCapacity> currentPreset;
};

AUAudioUnit::AUAudioUnit(ConstructionKey)
    : core_(std::make_shared<AURenderCore>()), stateObservers_(std::make_unique<StateObservers>()) {
  inputBusses_ = std::make_unique<AUAudioUnitBusArray>(*this, AUAudioUnitBusType::input);
  outputBusses_ = std::make_unique<AUAudioUnitBusArray>(*this, AUAudioUnitBusType::output);
}

// Render blocks a host still holds keep the core; they refuse to render from now on.
AUAudioUnit::~AUAudioUnit() { core_->unprepare(); }

AUError AUAudioUnit::errorOf(const std::exception& exception) {
  return AUError{kAudioUnitErr_FailedInitialization, exception.what()};
}

std::shared_ptr<const std::atomic<bool>> AUAudioUnit::allocationFlag() const {
  return std::shared_ptr<const std::atomic<bool>>(core_, &core_->allocated);
}

AUResult<void>
AUAudioUnit::initWithComponentDescription(const AudioComponentDescription& description,
                                          AudioComponentInstantiationOptions options) {
  if (description.componentType == 0)
    return AUError{kAudioComponentErr_UnsupportedType,
                   "a component description needs a component type"};
  description_ = description;
  options_ = options;
  return {};
}

AUAudioUnitBusArray& AUAudioUnit::inputBusses() { return *inputBusses_; }
AUAudioUnitBusArray& AUAudioUnit::outputBusses() { return *outputBusses_; }

std::shared_ptr<AUParameterTree> AUAudioUnit::parameterTree() const { return parameterTree_; }
void AUAudioUnit::setParameterTree(std::shared_ptr<AUParameterTree> tree) {
  parameterTree_ = std::move(tree);
}

AUResult<void> AUAudioUnit::allocateRenderResources() {
  const AUAudioFrameCount frames = maximumFramesToRender();
  if (frames == 0)
    return AUError{kAudioUnitErr_InvalidPropertyValue, "maximumFramesToRender is 0"};
  AUInternalRenderBlock block = internalRenderBlock();
  if (!block)
    return AUError{kAudioUnitErr_FailedInitialization, "the unit has no internal render block"};
  core_->prepare(std::move(block), frames);
  return {};
}

void AUAudioUnit::deallocateRenderResources() { core_->unprepare(); }

bool AUAudioUnit::renderResourcesAllocated() const noexcept { return core_->prepared(); }

void AUAudioUnit::reset() {}

AUAudioFrameCount AUAudioUnit::maximumFramesToRender() const { return maximumFramesToRender_; }
void AUAudioUnit::setMaximumFramesToRender(AUAudioFrameCount frames) {
  maximumFramesToRender_ = frames;
}

AUInternalRenderBlock AUAudioUnit::internalRenderBlock() { return {}; }

AURenderBlock AUAudioUnit::renderBlock() const {
  return [core = core_](AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp,
                        AUAudioFrameCount frames, long bus, AudioBufferList* output,
                        const AURenderEvent* events, const AURenderPullInputBlock& pull) {
    return core->render(flags, timestamp, frames, bus, output, events, pull);
  };
}

AUScheduleMIDIEventBlock AUAudioUnit::scheduleMIDIEventBlock() const {
  const OSType type = description_.componentType;
  if (type != kAudioUnitType_MusicDevice && type != kAudioUnitType_MusicEffect &&
      type != kAudioUnitType_MIDIProcessor)
    return {};
  return
      [core = core_](AUEventSampleTime time, std::uint8_t cable, int length,
                     const std::uint8_t* bytes) { core->scheduleMIDI(time, cable, length, bytes); };
}

std::uint64_t AUAudioUnit::droppedMIDIEventCount() const noexcept {
  return core_->droppedMIDIEventCount();
}

AUObserverToken AUAudioUnit::tokenByAddingRenderObserver(AURenderObserver observer) {
  return core_->renderObservers.add(std::move(observer));
}

void AUAudioUnit::removeRenderObserver(AUObserverToken token) {
  core_->renderObservers.remove(token);
}

std::vector<std::string> AUAudioUnit::MIDIOutputNames() const { return {}; }

std::vector<AUAudioUnitPreset> AUAudioUnit::factoryPresets() const { return {}; }

std::optional<AUAudioUnitPreset> AUAudioUnit::currentPreset() const { return currentPreset_; }

void AUAudioUnit::setCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) {
  applyCurrentPreset(preset);
  stateObservers_->currentPreset.notify(kAUNoObserverToken);
}

void AUAudioUnit::applyCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) {
  currentPreset_ = preset;
}

std::optional<foundation::PropertyList> AUAudioUnit::fullState() const {
  const auto preset = currentPreset();
  return foundation::PropertyList(foundation::PropertyList::Dictionary{
      {"version", foundation::PropertyList(0)},
      {"type", foundation::PropertyList(description_.componentType)},
      {"subtype", foundation::PropertyList(description_.componentSubType)},
      {"manufacturer", foundation::PropertyList(description_.componentManufacturer)},
      {"name",
       foundation::PropertyList(preset && !preset->name.empty() ? preset->name : "Untitled")},
  });
}

void AUAudioUnit::setFullState(const std::optional<foundation::PropertyList>& state) {
  applyFullState(state);
  stateObservers_->fullState.notify(kAUNoObserverToken);
}

void AUAudioUnit::applyFullState(const std::optional<foundation::PropertyList>&) {}

std::optional<foundation::PropertyList> AUAudioUnit::fullStateForDocument() const {
  return fullState();
}

void AUAudioUnit::setFullStateForDocument(const std::optional<foundation::PropertyList>& state) {
  applyFullStateForDocument(state);
  stateObservers_->fullState.notify(kAUNoObserverToken);
}

void AUAudioUnit::applyFullStateForDocument(const std::optional<foundation::PropertyList>& state) {
  applyFullState(state);
}

AUObserverToken AUAudioUnit::tokenByAddingFullStateObserver(std::function<void()> observer) {
  return stateObservers_->fullState.add(std::move(observer));
}

void AUAudioUnit::removeFullStateObserver(AUObserverToken token) {
  stateObservers_->fullState.remove(token);
}

AUObserverToken AUAudioUnit::tokenByAddingCurrentPresetObserver(std::function<void()> observer) {
  return stateObservers_->currentPreset.add(std::move(observer));
}

void AUAudioUnit::removeCurrentPresetObserver(AUObserverToken token) {
  stateObservers_->currentPreset.remove(token);
}

std::vector<int> AUAudioUnit::channelCapabilities() const { return {}; }
double AUAudioUnit::latency() const { return 0.0; }
double AUAudioUnit::tailTime() const { return 0.0; }
