// What both of our units are: no inputs, one stereo output bus, and a parameter tree whose values
// the saved state and the factory presets hold under one key.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/audiounit/ParameterState.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Construction makes the busses, then the subclass's tree (buildParameterTree, which hands it to
// adoptParameterTree), then applies the first factory preset. Threads: as AUAudioUnit.
class StereoSourceUnit : public AUAudioUnit {
public:
  static constexpr double kDefaultSampleRate = 44100.0;

  AUAudioUnitBusArray& inputBusses() override { return *inputBusArray_; }
  AUAudioUnitBusArray& outputBusses() override { return *outputBusArray_; }
  std::vector<int> channelCapabilities() const override { return {0, 2}; }

  std::vector<AUAudioUnitPreset> factoryPresets() const override;
  // The base state plus every parameter's value under the unit's key.
  std::optional<foundation::PropertyList> fullState() const override;

  // Each parameter's value right after the tree was built, by identifier.
  const ParameterDefaults& defaultParameterValues() const noexcept { return state_.defaults(); }
  // Why a saved state would not set the parameters as it says (ParameterState::problemWith).
  std::optional<std::string> stateProblem(const foundation::PropertyList& state) const {
    return state_.problemWith(state);
  }

protected:
  // stateKey: the key of the parameter dictionary in saved states and preset files.
  StereoSourceUnit(ConstructionKey key, std::shared_ptr<const FactoryPresetCatalogue> presets,
                   std::string stateKey);

  AUResult<void> initWithComponentDescription(const AudioComponentDescription& description,
                                              AudioComponentInstantiationOptions options) override;
  void applyCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) override;
  void applyFullState(const std::optional<foundation::PropertyList>& state) override;

  // Makes the tree, with its callbacks, and passes it to adoptParameterTree.
  virtual void buildParameterTree() = 0;
  // Takes the tree's current values as the defaults and installs it.
  void adoptParameterTree(std::shared_ptr<AUParameterTree> tree);

private:
  std::unique_ptr<AUAudioUnitBusArray> inputBusArray_;
  std::unique_ptr<AUAudioUnitBusArray> outputBusArray_;
  ParameterState state_;
};
