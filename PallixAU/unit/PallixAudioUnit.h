// The blues generator as an audio unit: a MIDI processor with eight parameters, factory presets,
// saved state, a family restriction and a render block that runs the sequencer.
#pragma once

#include "PallixAU/engine/Kernel.h"
#include "PallixAU/engine/catalogue/CatalogIndex.h"
#include "PallixAU/unit/PallixRenderBlock.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/audiounit/StereoSourceUnit.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pallix::unit {

// Made with AUAudioUnit::create<PallixAudioUnit>(kDescription) or through the component
// registry. Threads: as AUAudioUnit; the render block touches only the kernel, the context
// holder and the output buffers it is given.
//
// What a view (the generator's editor, the app) may use, and from which thread; the rest of
// the unit is for the host, and the sequencer's state belongs to the render thread:
// - parameterTree(), its parameters by address (engine::PallixParameter): read and set values
//   from any thread. Values read back as the kernel holds them (Root Note and Mode truncated).
//   Add and remove parameter observers (with their tokens) on the main or a control thread;
//   they are called on whichever thread set a value. A view that sets a value passes its own
//   observer token as the originator, so that it is not told of its own change.
// - fullState() and currentPreset(), and their observers (tokenByAddingFullStateObserver,
//   tokenByAddingCurrentPresetObserver and the removers): main or a control thread; the
//   observers are called on the thread that set the state or preset.
// - scheduleMIDIEventBlock(): fetch it once on the main or a control thread, call it from any
//   thread. The generator takes no MIDI in: scheduled messages are accepted and ignored.
// - allFamilies(): any thread. forcedFamily() and setForcedFamily(): any thread but the render
//   thread (they copy and compare names).
class PallixAudioUnit : public StereoSourceUnit {
public:
  static constexpr AudioComponentDescription kDescription{
      kAudioUnitType_MIDIProcessor, fourCharCode("PlxI"), fourCharCode("ob*k"), 0, 0};
  static constexpr std::uint32_t kVersion = 0x10000;
  // The key of the parameter dictionary in saved states and preset files.
  static constexpr std::string_view kStateKey = "pallixParams";

  // The process-wide catalogue of the "pallix-presets" folder of the bundle holding this code,
  // listed on first use. Any thread but the render thread.
  static std::shared_ptr<const FactoryPresetCatalogue> bundledPresets();

  // presets: the factory presets to offer, the bundle's by default; catalogue: the phrases fills
  // choose from, the process-wide index (bundle and user catalogues) by default. Tests give
  // their own. Both are read here, so the render thread never touches a file.
  explicit PallixAudioUnit(ConstructionKey key,
                           std::shared_ptr<const FactoryPresetCatalogue> presets = nullptr,
                           std::shared_ptr<const engine::CatalogIndex> catalogue = nullptr);

  // The tree is built once, at construction; a host's attempt to replace it is ignored.
  void setParameterTree(std::shared_ptr<AUParameterTree>) override {}
  AUInternalRenderBlock internalRenderBlock() override;
  // Each allocation starts the form again from bar 0.
  AUResult<void> allocateRenderResources() override;
  void deallocateRenderResources() override;
  std::vector<std::string> MIDIOutputNames() const override { return {"Out"}; }

  // The phrase families, sorted; forcedFamily names one of them. Any thread.
  const std::vector<std::string>& allFamilies() const noexcept { return *families_; }
  // Not saved in any state or preset. A name not among allFamilies (or beyond the first 128)
  // clears the restriction.
  std::optional<std::string> forcedFamily() const;
  void setForcedFamily(const std::optional<std::string>& family);

protected:
  void buildParameterTree() override;

private:
  std::shared_ptr<engine::Kernel> kernel_;
  std::shared_ptr<ContextHolder> contextHolder_;
  std::shared_ptr<const std::vector<std::string>> families_;
};

} // namespace pallix::unit
