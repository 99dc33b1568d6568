// The synthesiser as an audio unit: busses, parameters, the render block, presets and state.
#pragma once

#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "QuorvaneAU/unit/QuorvaneRenderBlock.h"
#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/audiounit/ParameterState.h"

#include <map>
#include <memory>
#include <string>

// Made with AUAudioUnit::create<QuorvaneAudioUnit>(kDescription) or through the component
// registry. Threads: as AUAudioUnit; the render block runs on the render thread and touches
// only the kernel and the unit's own output buffers.
class QuorvaneAudioUnit : public AUAudioUnit {
public:
  static constexpr AudioComponentDescription kDescription{
      kAudioUnitType_MusicDevice, fourCharCode("QrvI"), fourCharCode("ob*k"), 0, 0};
  static constexpr std::uint32_t kVersion = 0x10000;
  static constexpr double kDefaultSampleRate = 44100.0;

  // The process-wide catalogue of the "presets" folder of the bundle holding this code,
  // listed on first use. Any thread but the render thread.
  static std::shared_ptr<const FactoryPresetCatalogue> bundledPresets();

  // presets: the factory presets to offer; the bundle's by default (tests give their own).
  explicit QuorvaneAudioUnit(ConstructionKey key,
                             std::shared_ptr<const FactoryPresetCatalogue> presets = nullptr);

  AUAudioUnitBusArray& inputBusses() override { return *inputBusArray_; }
  AUAudioUnitBusArray& outputBusses() override { return *outputBusArray_; }
  AUInternalRenderBlock internalRenderBlock() override;
  AUResult<void> allocateRenderResources() override;
  void reset() override;
  std::vector<int> channelCapabilities() const override { return {0, 2}; }

  std::vector<AUAudioUnitPreset> factoryPresets() const override;
  std::optional<PropertyList> fullState() const override;

  // The engine, for the editor's waveform display and for tests. Parameters reach it through
  // the tree; call its other members only as its own comments allow.
  QuorvaneDSPKernel& kernel() noexcept { return *kernel_; }
  // Each parameter's value right after the tree was built, by identifier.
  const std::map<std::string, AUValue, std::less<>>& defaultParameterValues() const noexcept {
    return state_.defaults();
  }

protected:
  AUResult<void> initWithComponentDescription(const AudioComponentDescription& description,
                                              AudioComponentInstantiationOptions options) override;
  void applyCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) override;
  void applyFullState(const std::optional<PropertyList>& state) override;

private:
  void buildParameterTree();

  std::shared_ptr<QuorvaneDSPKernel> kernel_;
  std::shared_ptr<QuorvaneRenderBuffers> renderBuffers_;
  std::unique_ptr<AUAudioUnitBusArray> inputBusArray_;
  std::unique_ptr<AUAudioUnitBusArray> outputBusArray_;
  ParameterState state_; // presets and saved state under "quorvaneParams"
};
