// The synthesiser unit's set-up, allocation, presets and state.
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"

#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "QuorvaneAU/unit/QuorvaneParameterSet.h"

namespace quorvane::unit {

namespace {

void anchor() {} // an address inside this binary, to find its bundle

} // namespace

std::shared_ptr<const FactoryPresetCatalogue> QuorvaneAudioUnit::bundledPresets() {
  static const auto catalogue = std::make_shared<const FactoryPresetCatalogue>(
      foundation::Bundle::of(reinterpret_cast<const void*>(&anchor)), "presets");
  return catalogue;
}

const dsp::Wavetable& QuorvaneAudioUnit::wavetable() { return dsp::Wavetable::shared(); }

QuorvaneAudioUnit::QuorvaneAudioUnit(ConstructionKey key,
                                     std::shared_ptr<const FactoryPresetCatalogue> presets)
    : StereoSourceUnit(key, presets ? std::move(presets) : bundledPresets(),
                       std::string(kStateKey)),
      kernel_(std::make_shared<dsp::QuorvaneDSPKernel>()),
      renderBuffers_(std::make_shared<QuorvaneRenderBuffers>()) {}

void QuorvaneAudioUnit::seedRandomSources(std::uint32_t kernelSeed, std::uint32_t leftSeed,
                                          std::uint32_t rightSeed) noexcept {
  kernel_->seed(kernelSeed, leftSeed, rightSeed);
}

void QuorvaneAudioUnit::buildParameterTree() {
  auto tree = makeQuorvaneParameterTree();
  // The callbacks hold the unit weakly: once it is gone they fall back on the parameter.
  const std::weak_ptr<AUAudioUnit> owner = weak_from_this();
  const auto kernelOf = [owner]() -> std::shared_ptr<dsp::QuorvaneDSPKernel> {
    if (auto unit = owner.lock())
      return static_cast<QuorvaneAudioUnit&>(*unit).kernel_;
    return nullptr;
  };
  tree->setImplementorValueObserver([kernelOf](AUParameter& parameter, AUValue value) {
    if (auto kernel = kernelOf())
      kernel->setParameter(parameter.address(), value);
  });
  tree->setImplementorValueProvider([kernelOf](const AUParameter& parameter) {
    if (auto kernel = kernelOf())
      return kernel->parameterValue(parameter.address());
    return parameter.storedValue();
  });
  adoptParameterTree(std::move(tree));
}

std::optional<QuorvaneAudioUnit::TuningRefusal>
QuorvaneAudioUnit::setTuning(std::string_view scale, std::optional<std::string_view> keyboardMap) {
  const auto read = dsp::readScala(scale);
  if (const auto* problem = std::get_if<dsp::TuningProblem>(&read))
    return TuningRefusal{false, *problem};
  const auto& readScale = std::get<dsp::ScalaScale>(read);
  std::optional<dsp::KeyboardMap> map;
  if (keyboardMap) {
    auto readMap = dsp::readKeyboardMap(*keyboardMap);
    if (const auto* problem = std::get_if<dsp::TuningProblem>(&readMap))
      return TuningRefusal{true, *problem};
    map = std::get<dsp::KeyboardMap>(std::move(readMap));
  }
  const auto frequencies = dsp::noteFrequencies(readScale, map ? &*map : nullptr);
  if (const auto* problem = std::get_if<dsp::TuningProblem>(&frequencies))
    return TuningRefusal{keyboardMap.has_value(), *problem};
  std::array<double, 128> hz{};
  const auto& notes = std::get<dsp::NoteFrequencies>(frequencies).hz;
  for (std::size_t i = 0; i < hz.size(); ++i)
    hz[i] = notes[i].value_or(0.0); // 0 Hz: the key plays nothing
  kernel_->setTuning(&hz);
  tuning_ =
      Tuning{std::string(scale),
             keyboardMap ? std::optional<std::string>(std::string(*keyboardMap)) : std::nullopt,
             readScale.description};
  return std::nullopt;
}

void QuorvaneAudioUnit::clearTuning() {
  kernel_->setTuning(nullptr);
  tuning_.reset();
}

std::optional<foundation::PropertyList> QuorvaneAudioUnit::fullState() const {
  auto state = StereoSourceUnit::fullState();
  if (state && state->dictionary())
    writeTuning(*state->dictionary());
  return state;
}

void QuorvaneAudioUnit::writeTuning(foundation::PropertyList::Dictionary& into) const {
  if (!tuning_)
    return;
  into[std::string(kTuningScaleKey)] = foundation::PropertyList(tuning_->scale);
  if (tuning_->keyboardMap)
    into[std::string(kTuningKeyboardMapKey)] = foundation::PropertyList(*tuning_->keyboardMap);
}

void QuorvaneAudioUnit::readTuning(const foundation::PropertyList* from) {
  const auto* scale = from ? from->find(std::string(kTuningScaleKey)) : nullptr;
  const auto* map = from ? from->find(std::string(kTuningKeyboardMapKey)) : nullptr;
  if (!scale || !scale->string() || (map && !map->string()) ||
      setTuning(*scale->string(),
                map ? std::optional<std::string_view>(*map->string()) : std::nullopt))
    clearTuning(); // saved states are read silently: what cannot be read plays equal-tempered
}

void QuorvaneAudioUnit::applyCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) {
  StereoSourceUnit::applyCurrentPreset(preset);
  if (preset && preset->number >= 0)
    clearTuning(); // factory presets are equal-tempered
}

void QuorvaneAudioUnit::applyFullState(const std::optional<foundation::PropertyList>& state) {
  StereoSourceUnit::applyFullState(state);
  if (state && state->dictionary())
    readTuning(&*state); // otherwise not a state: nothing was applied
}

AUInternalRenderBlock QuorvaneAudioUnit::internalRenderBlock() {
  return makeQuorvaneRenderBlock(kernel_, renderBuffers_);
}

AUResult<void> QuorvaneAudioUnit::allocateRenderResources() {
  if (auto result = AUAudioUnit::allocateRenderResources(); !result)
    return result;
  try {
    const AUAudioFrameCount frames = maximumFramesToRender();
    kernel_->prepare(static_cast<int>(frames), outputBusses()[0].format().sampleRate);
    renderBuffers_->allocate(frames);
  } catch (const std::exception& failure) {
    AUAudioUnit::deallocateRenderResources();
    return AUError{kAudioUnitErr_FailedInitialization, failure.what()};
  }
  return {};
}

void QuorvaneAudioUnit::reset() {
  AUAudioUnit::reset();
  kernel_->reset();
}

} // namespace quorvane::unit
