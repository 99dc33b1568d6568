// The busses, construction order, presets and saved state both units share.
#include "platform/audiounit/StereoSourceUnit.h"

StereoSourceUnit::StereoSourceUnit(ConstructionKey key,
                                   std::shared_ptr<const FactoryPresetCatalogue> presets,
                                   std::string stateKey)
    : AUAudioUnit(key), state_(std::move(presets), std::move(stateKey)) {}

AUResult<void>
StereoSourceUnit::initWithComponentDescription(const AudioComponentDescription& description,
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
  if (const auto presets = factoryPresets(); !presets.empty())
    setCurrentPreset(presets.front());
  return {};
}

void StereoSourceUnit::adoptParameterTree(std::shared_ptr<AUParameterTree> tree) {
  state_.recordDefaults(*tree);
  // Not the virtual setter: a unit may refuse trees offered from outside.
  AUAudioUnit::setParameterTree(std::move(tree));
}

std::vector<AUAudioUnitPreset> StereoSourceUnit::factoryPresets() const {
  return state_.factoryPresets();
}

void StereoSourceUnit::applyCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) {
  AUAudioUnit::applyCurrentPreset(preset);
  state_.applyPreset(parameterTree().get(), preset);
}

std::optional<foundation::PropertyList> StereoSourceUnit::fullState() const {
  std::optional<foundation::PropertyList> state = AUAudioUnit::fullState();
  state_.store(*state, parameterTree().get());
  return state;
}

void StereoSourceUnit::applyFullState(const std::optional<foundation::PropertyList>& state) {
  state_.apply(parameterTree().get(), state);
}
