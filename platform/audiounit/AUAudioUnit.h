// The base class of every audio unit: busses, parameters, render resources, rendering,
// scheduled MIDI, render observers, host blocks, presets and saved state.
#pragma once

#include "platform/audiounit/AUAudioUnitBus.h"
#include "platform/audiounit/AUError.h"
#include "platform/audiounit/AUParameterTree.h"
#include "platform/audiounit/ComponentDescription.h"
#include "platform/audiounit/RenderEvent.h"
#include "platform/audiounit/RenderTypes.h"
#include "platform/foundation/PropertyList.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class AURenderCore;

// A preset: factory presets have numbers 0, 1, 2, ...; negative numbers are user presets.
struct AUAudioUnitPreset {
  long number = 0;
  std::string name;
  bool operator==(const AUAudioUnitPreset&) const = default;
};

// Units are shared objects (callbacks hold them weakly) made by create() or the component
// registry, never constructed directly: a subclass has a public constructor taking a
// ConstructionKey, which only this class can make, and does its fallible set-up in an
// override of initWithComponentDescription that first calls the base version.
//
// Threads: unless a member says otherwise, call it on the main or a control thread, one at a
// time. The blocks returned by renderBlock() and internalRenderBlock(), render observers and
// the host blocks run on the render thread; the block from scheduleMIDIEventBlock() and the
// parameter tree may be used from any thread.
class AUAudioUnit : public std::enable_shared_from_this<AUAudioUnit> {
protected:
  class ConstructionKey {
    friend class AUAudioUnit;
    ConstructionKey() = default;
  };

public:
  using Factory = std::function<AUResult<std::shared_ptr<AUAudioUnit>>(
      const AudioComponentDescription& description, AudioComponentInstantiationOptions options)>;
  using InstantiationCompletion = std::function<void(AUResult<std::shared_ptr<AUAudioUnit>>)>;

  static constexpr AUAudioFrameCount kDefaultMaximumFramesToRender = 512;

  explicit AUAudioUnit(ConstructionKey);
  virtual ~AUAudioUnit();
  AUAudioUnit(const AUAudioUnit&) = delete;
  AUAudioUnit& operator=(const AUAudioUnit&) = delete;

  // Makes a Unit (constructed with args after the key) and runs its initialiser. The
  // initialiser's error, or an exception thrown on the way as kAudioUnitErr_FailedInitialization,
  // comes back unchanged.
  template <class Unit, class... Args>
  static AUResult<std::shared_ptr<Unit>> create(const AudioComponentDescription& description,
                                                AudioComponentInstantiationOptions options = 0,
                                                Args&&... args);

  // --- The in-process component registry (any thread) ---

  // Makes the factory instantiable under description in this process; a later registration of
  // the same description replaces it.
  static void registerSubclass(Factory factory, const AudioComponentDescription& description,
                               std::string name, std::uint32_t version);
  template <class Unit>
  static void registerSubclass(const AudioComponentDescription& description, std::string name,
                               std::uint32_t version);
  // Creates the unit registered for description (fields that are 0 match anything) and hands
  // it, or the error, to completion on the registry's own thread, never inside this call.
  // An unknown description gives kAudioComponentErr_UnsupportedType.
  static void instantiate(const AudioComponentDescription& description,
                          AudioComponentInstantiationOptions options,
                          InstantiationCompletion completion);

  // --- Identity ---

  const AudioComponentDescription& componentDescription() const noexcept { return description_; }
  // The registered name and version; empty and 0 for a unit made by create().
  const std::string& componentName() const noexcept { return componentName_; }
  std::uint32_t componentVersion() const noexcept { return componentVersion_; }

  // --- Busses (base: none) ---

  virtual AUAudioUnitBusArray& inputBusses();
  virtual AUAudioUnitBusArray& outputBusses();

  // --- Parameters ---

  virtual std::shared_ptr<AUParameterTree> parameterTree() const;
  virtual void setParameterTree(std::shared_ptr<AUParameterTree> tree);

  // --- Render resources ---

  // The base fetches internalRenderBlock() and fixes maximumFramesToRender() for the render
  // calls to come; it fails when the frame count is 0 or there is no block. A subclass calls
  // it first and returns its error unchanged; if the subclass then fails it calls
  // AUAudioUnit::deallocateRenderResources() before returning its own error.
  virtual AUResult<void> allocateRenderResources();
  virtual void deallocateRenderResources();
  bool renderResourcesAllocated() const noexcept;
  // Clears the unit's render state; never during a render call. The base does nothing.
  virtual void reset();

  // Takes effect at the next allocation. Base default: kDefaultMaximumFramesToRender.
  virtual AUAudioFrameCount maximumFramesToRender() const;
  virtual void setMaximumFramesToRender(AUAudioFrameCount frames);

  // --- Rendering ---

  // The unit's render code. Base: an empty block (such a unit cannot be allocated).
  virtual AUInternalRenderBlock internalRenderBlock();
  // The wrapper a host calls (render thread): refuses calls before allocation
  // (kAudioUnitErr_Uninitialized) and frame counts above maximumFramesToRender
  // (kAudioUnitErr_TooManyFramesToProcess) without running anything else; otherwise runs the
  // pre-render observers, hands over the scheduled MIDI due in this call (merged in time
  // order into the host's event list), the internal block and the post-render observers.
  // The block keeps working (refusing) after the unit is gone. Fetch it once, on the main or
  // a control thread (making it allocates); calling it never allocates.
  AURenderBlock renderBlock() const;

  // For units that take MIDI (types aumu, aumf, aumi); empty for the others. Fetch it once
  // (making it allocates); call it from any thread.
  // Events due in a call (stamped before its end, or AUEventSampleTimeImmediate [+ offset])
  // join that call's event list; later ones wait for theirs; past times count as the call's
  // first sample. Up to 1024 events wait in the queue; a message that finds it full, or whose
  // length is not 1 to 3, is dropped and counted.
  AUScheduleMIDIEventBlock scheduleMIDIEventBlock() const;
  // Any thread.
  std::uint64_t droppedMIDIEventCount() const noexcept;

  // Up to AURenderCore::kRenderObserverCapacity (16) observers; kAUNoObserverToken when full.
  // Observers run on the render thread; they must not allocate, lock or throw, and may
  // schedule MIDI. When removeRenderObserver returns the observer is not running and will not
  // run again (so never remove an observer from inside one).
  AUObserverToken tokenByAddingRenderObserver(AURenderObserver observer);
  void removeRenderObserver(AUObserverToken token);

  // --- Host blocks: set by the host before allocation; a unit reads them when allocating ---

  const AUMIDIOutputEventBlock& MIDIOutputEventBlock() const noexcept { return midiOutput_; }
  void setMIDIOutputEventBlock(AUMIDIOutputEventBlock block) { midiOutput_ = std::move(block); }
  const AUHostMusicalContextBlock& musicalContextBlock() const noexcept { return musicalContext_; }
  void setMusicalContextBlock(AUHostMusicalContextBlock block) {
    musicalContext_ = std::move(block);
  }
  const AUHostTransportStateBlock& transportStateBlock() const noexcept { return transportState_; }
  void setTransportStateBlock(AUHostTransportStateBlock block) {
    transportState_ = std::move(block);
  }
  // The names of the unit's MIDI outputs (base: none).
  virtual std::vector<std::string> MIDIOutputNames() const;

  // --- Presets and state ---

  virtual std::vector<AUAudioUnitPreset> factoryPresets() const; // base: none
  virtual std::optional<AUAudioUnitPreset> currentPreset() const;
  // Runs applyCurrentPreset, then tells the current-preset observers on this thread.
  void setCurrentPreset(const std::optional<AUAudioUnitPreset>& preset);

  // Base: a dictionary with "version" 0, "type", "subtype", "manufacturer" (the codes as
  // integers) and "name" (the current preset's, or "Untitled").
  virtual std::optional<foundation::PropertyList> fullState() const;
  // Runs applyFullState, then tells the full-state observers on this thread.
  void setFullState(const std::optional<foundation::PropertyList>& state);
  // Base: fullState().
  virtual std::optional<foundation::PropertyList> fullStateForDocument() const;
  // Runs applyFullStateForDocument, then tells the full-state observers on this thread.
  void setFullStateForDocument(const std::optional<foundation::PropertyList>& state);

  // Observers of the setters above, called on the thread that set. Up to 16 of each.
  AUObserverToken tokenByAddingFullStateObserver(std::function<void()> observer);
  void removeFullStateObserver(AUObserverToken token);
  AUObserverToken tokenByAddingCurrentPresetObserver(std::function<void()> observer);
  void removeCurrentPresetObserver(AUObserverToken token);

  // --- What the unit does ---

  // Pairs of (input, output) channel counts it supports; empty: any (the base).
  virtual std::vector<int> channelCapabilities() const;
  virtual double latency() const;  // seconds; base 0
  virtual double tailTime() const; // seconds; base 0

protected:
  // The base initialiser: stores description and options. Fails
  // (kAudioComponentErr_UnsupportedType) for a description without a component type.
  virtual AUResult<void> initWithComponentDescription(const AudioComponentDescription& description,
                                                      AudioComponentInstantiationOptions options);
  AudioComponentInstantiationOptions instantiationOptions() const noexcept { return options_; }

  // What the setters of presets and state do. Base: applyCurrentPreset stores the preset;
  // applyFullState ignores the state; applyFullStateForDocument calls applyFullState.
  virtual void applyCurrentPreset(const std::optional<AUAudioUnitPreset>& preset);
  virtual void applyFullState(const std::optional<foundation::PropertyList>& state);
  virtual void applyFullStateForDocument(const std::optional<foundation::PropertyList>& state);

private:
  friend class AUAudioUnitBusArray;
  friend class AUComponentRegistry;

  static AUError errorOf(const std::exception& exception);
  std::shared_ptr<const std::atomic<bool>> allocationFlag() const;

  struct StateObservers;

  std::shared_ptr<AURenderCore> core_;
  std::unique_ptr<StateObservers> stateObservers_;
  AudioComponentDescription description_;
  AudioComponentInstantiationOptions options_ = 0;
  std::string componentName_;
  std::uint32_t componentVersion_ = 0;
  std::unique_ptr<AUAudioUnitBusArray> inputBusses_;
  std::unique_ptr<AUAudioUnitBusArray> outputBusses_;
  std::shared_ptr<AUParameterTree> parameterTree_;
  AUAudioFrameCount maximumFramesToRender_ = kDefaultMaximumFramesToRender;
  std::optional<AUAudioUnitPreset> currentPreset_;
  AUMIDIOutputEventBlock midiOutput_;
  AUHostMusicalContextBlock musicalContext_;
  AUHostTransportStateBlock transportState_;
};

template <class Unit, class... Args>
AUResult<std::shared_ptr<Unit>> AUAudioUnit::create(const AudioComponentDescription& description,
                                                    AudioComponentInstantiationOptions options,
                                                    Args&&... args) {
  static_assert(std::is_base_of_v<AUAudioUnit, Unit>, "units derive from AUAudioUnit");
  try {
    auto unit = std::make_shared<Unit>(ConstructionKey{}, std::forward<Args>(args)...);
    AUAudioUnit& base = *unit;
    if (auto result = base.initWithComponentDescription(description, options); !result)
      return result.error();
    return unit;
  } catch (const std::exception& exception) {
    return errorOf(exception);
  }
}

template <class Unit>
void AUAudioUnit::registerSubclass(const AudioComponentDescription& description, std::string name,
                                   std::uint32_t version) {
  registerSubclass(
      [](const AudioComponentDescription& d,
         AudioComponentInstantiationOptions o) -> AUResult<std::shared_ptr<AUAudioUnit>> {
        auto unit = create<Unit>(d, o);
        if (!unit)
          return unit.error();
        return std::shared_ptr<AUAudioUnit>(std::move(unit).value());
      },
      description, std::move(name), version);
}
