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
