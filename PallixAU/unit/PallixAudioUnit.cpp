// The generator unit's set-up, render resources, presets, state and family restriction.
#include "PallixAU/unit/PallixAudioUnit.h"

#include "PallixAU/unit/PallixParameterSet.h"
#include "platform/foundation/Bundle.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace pallix::unit {

namespace {

using engine::CatalogIndex;
using engine::Kernel;

void anchor() {} // an address inside this binary, to find its bundle

// The kernel's family index is a signed byte: later names cannot be forced.
constexpr std::size_t kMaxForcedFamilies = std::numeric_limits<std::int8_t>::max() + 1;

} // namespace

std::shared_ptr<const FactoryPresetCatalogue> PallixAudioUnit::bundledPresets() {
  static const auto catalogue = std::make_shared<const FactoryPresetCatalogue>(
      foundation::Bundle::of(reinterpret_cast<const void*>(&anchor)), "pallix-presets");
  return catalogue;
}

PallixAudioUnit::PallixAudioUnit(ConstructionKey key,
                                 std::shared_ptr<const FactoryPresetCatalogue> presets,
                                 std::shared_ptr<const CatalogIndex> catalogue)
    : StereoSourceUnit(key, presets ? std::move(presets) : bundledPresets(),
                       std::string(kStateKey)),
      kernel_(std::make_shared<Kernel>()), contextHolder_(std::make_shared<ContextHolder>()) {
  if (catalogue) {
    families_ = std::make_shared<const std::vector<std::string>>(catalogue->familyNames());
  } else {
    // The process-wide index lives until exit, so the kernel need not own it.
    catalogue = std::shared_ptr<const CatalogIndex>(&CatalogIndex::shared(), [](const auto*) {});
    families_ = std::shared_ptr<const std::vector<std::string>>(&CatalogIndex::sharedFamilies(),
                                                                [](const auto*) {});
  }
  kernel_->useCatalogue(std::move(catalogue), families_);
}

void PallixAudioUnit::buildParameterTree() {
  auto tree = makePallixParameterTree();
  // A host may keep parameters after the unit is gone: then writes do nothing and reads give
  // 0, since the kernel is the only source of values.
  const std::weak_ptr<AUAudioUnit> owner = weak_from_this();
  const auto kernelOf = [owner]() -> std::shared_ptr<Kernel> {
    if (auto unit = owner.lock())
      return static_cast<PallixAudioUnit&>(*unit).kernel_;
    return nullptr;
  };
  // The tree holds only the eight addresses.
  tree->setImplementorValueObserver([kernelOf](AUParameter& parameter, AUValue value) {
    const auto which = engine::pallixParameterAt(parameter.address());
    if (auto kernel = kernelOf(); kernel && which)
      kernel->setParameter(*which, foundation::withinRange(engine::rowOf(*which), value));
  });
  tree->setImplementorValueProvider([kernelOf](const AUParameter& parameter) {
    const auto which = engine::pallixParameterAt(parameter.address());
    const auto kernel = kernelOf();
    return kernel && which ? kernel->parameterValue(*which) : AUValue(0);
  });
  adoptParameterTree(std::move(tree));
}

AUInternalRenderBlock PallixAudioUnit::internalRenderBlock() {
  return makePallixRenderBlock(kernel_, contextHolder_);
}

AUResult<void> PallixAudioUnit::allocateRenderResources() {
  if (auto result = AUAudioUnit::allocateRenderResources(); !result)
    return result;
  kernel_->setSampleRate(outputBusses()[0].format().sampleRate);
  try {
    contextHolder_->midiOut = MIDIOutputEventBlock();
    contextHolder_->musicalContext = musicalContextBlock();
    contextHolder_->transportState = transportStateBlock();
  } catch (const std::exception& failure) {
    deallocateRenderResources();
    return AUError{kAudioUnitErr_FailedInitialization, failure.what()};
  }
  // Without a transport to follow, the generator plays from the first render call.
  kernel_->reset(!contextHolder_->transportState);
  return {};
}

void PallixAudioUnit::deallocateRenderResources() {
  contextHolder_->midiOut = nullptr;
  contextHolder_->musicalContext = nullptr;
  contextHolder_->transportState = nullptr;
  AUAudioUnit::deallocateRenderResources();
}

std::optional<std::string> PallixAudioUnit::forcedFamily() const {
  const int index = kernel_->forcedFamily();
  if (index < 0 || static_cast<std::size_t>(index) >= families_->size())
    return std::nullopt;
  return (*families_)[static_cast<std::size_t>(index)];
}

void PallixAudioUnit::setForcedFamily(const std::optional<std::string>& family) {
  std::int8_t index = -1;
  if (family) {
    const auto found = std::find(families_->begin(), families_->end(), *family);
    const auto position = static_cast<std::size_t>(found - families_->begin());
    if (found != families_->end() && position < kMaxForcedFamilies)
      index = static_cast<std::int8_t>(position);
  }
  kernel_->setForcedFamily(index);
}

} // namespace pallix::unit
