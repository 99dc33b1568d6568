// The blues generator as an audio unit: a MIDI processor with eight parameters, factory presets,
// saved state, a family restriction and a render block that runs the sequencer.
#pragma once

#include "PallixAU/engine/CatalogIndex.h"
#include "PallixAU/engine/ContextHolder.h"
#include "PallixAU/engine/Kernel.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/audiounit/StereoSourceUnit.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Build-time switches of the generator's editor.
namespace PallixDevFlags {
inline constexpr bool familyPickerEnabled = false;
}

// Made with AUAudioUnit::create<PallixAudioUnit>(kDescription) or through the component
// registry. Threads: as AUAudioUnit; the render block touches only the kernel, the context
// holder and the output buffers it is given.
class PallixAudioUnit : public StereoSourceUnit {
public:
  static constexpr AudioComponentDescription kDescription{
      kAudioUnitType_MIDIProcessor, fourCharCode("PlxI"), fourCharCode("ob*k"), 0, 0};
  static constexpr std::uint32_t kVersion = 0x10000;

  // The process-wide catalogue of the "pallix-presets" folder of the bundle holding this code,
  // listed on first use. Any thread but the render thread.
  static std::shared_ptr<const FactoryPresetCatalogue> bundledPresets();

  // presets: the factory presets to offer, the bundle's by default; catalog: the phrases fills
  // choose from, the process-wide index (bundle and user catalogues) by default. Tests give
  // their own. Both are read here, so the render thread never touches a file.
  explicit PallixAudioUnit(ConstructionKey key,
                           std::shared_ptr<const FactoryPresetCatalogue> presets = nullptr,
                           std::shared_ptr<const CatalogIndex> catalog = nullptr);

  // The tree is built once, at construction; a host's attempt to replace it is ignored.
  void setParameterTree(std::shared_ptr<AUParameterTree>) override {}
  AUInternalRenderBlock internalRenderBlock() override;
  AUResult<void> allocateRenderResources() override;
  void deallocateRenderResources() override;
  std::vector<std::string> MIDIOutputNames() const override { return {"Out"}; }

  // The phrase families, sorted; forcedFamily names one of them. Any thread.
  const std::vector<std::string>& allFamilies() const noexcept { return *families_; }
  // Not saved in any state or preset. A name not among allFamilies (or beyond the first 128)
  // clears the restriction.
  std::optional<std::string> forcedFamily() const;
  void setForcedFamily(const std::optional<std::string>& family);

  // The sequencer, for tests and the demo driver. Parameters reach it through the tree.
  Kernel& kernel() noexcept { return *kernel_; }

protected:
  void buildParameterTree() override;

private:
  std::shared_ptr<Kernel> kernel_;
  std::shared_ptr<ContextHolder> contextHolder_;
  std::shared_ptr<const std::vector<std::string>> families_;
};
