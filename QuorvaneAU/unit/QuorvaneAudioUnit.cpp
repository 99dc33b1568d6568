// The synthesiser unit's set-up, allocation, presets and state.
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"

#include "QuorvaneAU/unit/QuorvaneParameterSet.h"

#include <cstdio>

namespace {

void anchor() {} // an address inside this binary, to find its bundle

} // namespace

std::shared_ptr<const FactoryPresetCatalogue> QuorvaneAudioUnit::bundledPresets() {
  static const auto catalogue = std::make_shared<const FactoryPresetCatalogue>(
      Bundle::of(reinterpret_cast<const void*>(&anchor)), "presets");
  return catalogue;
}

QuorvaneAudioUnit::QuorvaneAudioUnit(ConstructionKey key,
                                     std::shared_ptr<const FactoryPresetCatalogue> presets)
    : AUAudioUnit(key), kernel_(std::make_shared<QuorvaneDSPKernel>()),
      renderBuffers_(std::make_shared<QuorvaneRenderBuffers>()),
      presets_(presets ? std::move(presets) : bundledPresets()) {}

AUResult<void>
QuorvaneAudioUnit::initWithComponentDescription(const AudioComponentDescription& description,
                                                AudioComponentInstantiationOptions options) {
  if (auto result = AUAudioUnit::initWithComponentDescription(description, options); !result)
    return result;
  inputBusArray_ = std::make_unique<AUAudioUnitBusArray>(*this, AUAudioUnitBusType::input);
  auto bus = AUAudioUnitBus::create(AudioFormat::standard(kDefaultSampleRate, 2));
  if (!bus)
    return bus.error();
  outputBusArray_ = std::make_unique<AUAudioUnitBusArray>(*this, AUAudioUnitBusType::output,
                                                          std::vector{std::move(bus).value()});
  buildParameterTree();
  if (!presets_->entries().empty())
    setCurrentPreset(factoryPresets().front());
  return {};
}

void QuorvaneAudioUnit::buildParameterTree() {
  auto tree = makeQuorvaneParameterTree();
  // The callbacks hold the unit weakly: once it is gone they fall back on the parameter.
  const std::weak_ptr<AUAudioUnit> owner = weak_from_this();
  const auto kernelOf = [owner]() -> std::shared_ptr<QuorvaneDSPKernel> {
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
  tree->setImplementorStringFromValueCallback(
      [](const AUParameter& parameter, std::optional<AUValue> value) {
        char text[64];
        std::snprintf(text, sizeof text, "%.3f",
                      static_cast<double>(value ? *value : parameter.value()));
        return std::string(text);
      });
  for (const auto& parameter : tree->allParameters())
    defaultParameterValues_[parameter->identifier()] = parameter->value();
  setParameterTree(std::move(tree));
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

std::vector<AUAudioUnitPreset> QuorvaneAudioUnit::factoryPresets() const {
  std::vector<AUAudioUnitPreset> presets;
  long number = 0;
  for (const auto& entry : presets_->entries())
    presets.push_back({number++, entry.name});
  return presets;
}

void QuorvaneAudioUnit::applyCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) {
  AUAudioUnit::applyCurrentPreset(preset);
  // User presets (negative numbers) and unknown numbers are only stored.
  if (!preset)
    return;
  if (const auto state = presets_->load(preset->number))
    applyStateDictionary(*state);
}

std::optional<PropertyList> QuorvaneAudioUnit::fullState() const {
  std::optional<PropertyList> state = AUAudioUnit::fullState();
  if (const auto tree = parameterTree()) {
    PropertyList::Dictionary parameters;
    for (const auto& parameter : tree->allParameters())
      parameters[parameter->identifier()] = PropertyList(parameter->value());
    (*state->dictionary())["quorvaneParams"] = PropertyList(std::move(parameters));
  }
  return state;
}

void QuorvaneAudioUnit::applyFullState(const std::optional<PropertyList>& state) {
  // Anything but a dictionary is not a state: nothing changes.
  if (state && state->dictionary())
    applyStateDictionary(*state);
}

void QuorvaneAudioUnit::applyStateDictionary(const PropertyList& state) {
  const auto tree = parameterTree();
  if (!tree)
    return;
  // Usable only as a whole: one value that is not a number and every parameter is reset.
  const PropertyList::Dictionary* values = nullptr;
  if (const PropertyList* p = state.find("quorvaneParams"); p && p->dictionary()) {
    values = p->dictionary();
    for (const auto& [key, value] : *values)
      if (!value.number())
        values = nullptr;
  }
  for (const auto& parameter : tree->allParameters()) {
    const std::string& id = parameter->identifier();
    if (values)
      if (const auto found = values->find(id); found != values->end()) {
        parameter->setValue(static_cast<AUValue>(*found->second.number()));
        continue;
      }
    if (const auto fallback = defaultParameterValues_.find(id);
        fallback != defaultParameterValues_.end())
      parameter->setValue(fallback->second);
  }
}
