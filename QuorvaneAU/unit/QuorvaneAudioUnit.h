// The synthesiser as an audio unit: busses, parameters, the render block, presets and state.
#pragma once

#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "QuorvaneAU/unit/QuorvaneRenderBlock.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/audiounit/StereoSourceUnit.h"

#include <map>
#include <memory>
#include <string>

// Made with AUAudioUnit::create<QuorvaneAudioUnit>(kDescription) or through the component
// registry. Threads: as AUAudioUnit; the render block runs on the render thread and touches
// only the kernel and the unit's own output buffers.
class QuorvaneAudioUnit : public StereoSourceUnit {
public:
  static constexpr AudioComponentDescription kDescription{
      kAudioUnitType_MusicDevice, fourCharCode("QrvI"), fourCharCode("ob*k"), 0, 0};
  static constexpr std::uint32_t kVersion = 0x10000;

  // The process-wide catalogue of the "presets" folder of the bundle holding this code,
  // listed on first use. Any thread but the render thread.
  static std::shared_ptr<const FactoryPresetCatalogue> bundledPresets();

  // presets: the factory presets to offer; the bundle's by default (tests give their own).
  explicit QuorvaneAudioUnit(ConstructionKey key,
                             std::shared_ptr<const FactoryPresetCatalogue> presets = nullptr);

  AUInternalRenderBlock internalRenderBlock() override;
  AUResult<void> allocateRenderResources() override;
  void reset() override;

  // The engine, for the editor's waveform display and for tests. Parameters reach it through
  // the tree; call its other members only as its own comments allow.
  QuorvaneDSPKernel& kernel() noexcept { return *kernel_; }

protected:
  void buildParameterTree() override;

private:
  std::shared_ptr<QuorvaneDSPKernel> kernel_;
  std::shared_ptr<QuorvaneRenderBuffers> renderBuffers_;
};
