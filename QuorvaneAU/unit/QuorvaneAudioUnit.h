// The synthesiser as an audio unit: busses, parameters, the render block, presets and state.
#pragma once

#include "QuorvaneAU/dsp/ScalaTuning.h"
#include "QuorvaneAU/dsp/Wavetable.h"
#include "QuorvaneAU/unit/QuorvaneRenderBlock.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/audiounit/StereoSourceUnit.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::unit {

// Made with AUAudioUnit::create<QuorvaneAudioUnit>(kDescription) or through the component
// registry. Threads: as AUAudioUnit; the render block runs on the render thread and touches
// only the engine and the unit's own output buffers.
//
// What a view (an editor, an app window) may use, and from which thread:
// - parameterTree(): read and set values from any thread; add and remove parameter observers
//   on the main thread. Observers are called on whichever thread set the value, so they hand
//   drawing on to the main thread. A view passes its own observer's token as the originator
//   of the values it sets, so it is not told of its own changes.
// - Saved state and presets: tokenByAddingFullStateObserver, tokenByAddingCurrentPresetObserver
//   and their removal, fullState(), currentPreset() and factoryPresets(), all on the main
//   thread; the observers are called on the thread that set the state or preset.
// - scheduleMIDIEventBlock(): fetched once on the main thread, then called from any thread
//   (an on-screen keyboard, say).
// - wavetable(): the waveforms the voices play, to draw them; any thread but the render thread.
// Nothing else: render resources, the render block, reset and seeding are the host's, and the
// engine is reached only through these.
class QuorvaneAudioUnit : public StereoSourceUnit {
public:
  static constexpr AudioComponentDescription kDescription{
      kAudioUnitType_MusicDevice, fourCharCode("QrvI"), fourCharCode("ob*k"), 0, 0};
  static constexpr std::uint32_t kVersion = 0x10000;
  // The key of the parameter dictionary in saved states and preset files.
  static constexpr std::string_view kStateKey = "quorvaneParams";

  // The process-wide catalogue of the "presets" folder of the bundle holding this code,
  // listed on first use. Any thread but the render thread.
  static std::shared_ptr<const FactoryPresetCatalogue> bundledPresets();

  // The process-wide wavetable every voice reads: built on first use (every unit's engine
  // uses it from construction), never changed after. Any thread but the render thread.
  static const dsp::Wavetable& wavetable();

  // presets: the factory presets to offer; the bundle's by default (tests give their own).
  explicit QuorvaneAudioUnit(ConstructionKey key,
                             std::shared_ptr<const FactoryPresetCatalogue> presets = nullptr);

  // Seeds the engine's random sources (its drift walk and the reverb's two patterns; each
  // 1 ... 2^32-1, 0 becomes 1) instead of the system's random device, so renders repeat.
  // Control thread, before allocateRenderResources, which draws the reverb patterns; never
  // while render resources are allocated.
  void seedRandomSources(std::uint32_t kernelSeed, std::uint32_t leftSeed,
                         std::uint32_t rightSeed) noexcept;

  // The keys of a tuning's texts in saved states and user presets.
  static constexpr std::string_view kTuningScaleKey = "tuningScale";
  static constexpr std::string_view kTuningKeyboardMapKey = "tuningKeyboardMap";

  // A tuning held as the files' texts, so that it travels with the state.
  struct Tuning {
    std::string scale;                      // a .scl file's text
    std::optional<std::string> keyboardMap; // a .kbm file's text
    std::string description;                // the scale's own
  };
  // Why a tuning was refused: in which of the two texts, the line and the reason.
  struct TuningRefusal {
    bool inKeyboardMap = false;
    dsp::TuningProblem problem;
  };
  // Plays the notes in this tuning from their next note-on, or refuses it and keeps the one it
  // had. Main thread.
  std::optional<TuningRefusal> setTuning(std::string_view scale,
                                         std::optional<std::string_view> keyboardMap);
  // Back to equal temperament at A 440. Main thread.
  void clearTuning();
  const std::optional<Tuning>& tuning() const noexcept { return tuning_; }
  // The tuning's texts under the keys above (nothing for equal temperament), and read back from
  // a dictionary of them: silently equal-tempered when absent or unreadable. Main thread.
  void writeTuning(foundation::PropertyList::Dictionary& into) const;
  void readTuning(const foundation::PropertyList* from);

  // The base state, with the tuning's texts when there is one. A state or preset without a
  // tuning (every factory preset) plays equal-tempered; one whose tuning is refused too.
  std::optional<foundation::PropertyList> fullState() const override;

  AUInternalRenderBlock internalRenderBlock() override;
  AUResult<void> allocateRenderResources() override;
  void reset() override;

protected:
  void buildParameterTree() override;
  void applyCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) override;
  void applyFullState(const std::optional<foundation::PropertyList>& state) override;

private:
  std::shared_ptr<dsp::QuorvaneDSPKernel> kernel_;
  std::shared_ptr<QuorvaneRenderBuffers> renderBuffers_;
  std::optional<Tuning> tuning_;
};

} // namespace quorvane::unit
