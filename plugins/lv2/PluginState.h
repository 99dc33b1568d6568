// What the plug-in's LV2 state holds: what ports cannot (a format version, the editor's size
// when one was kept, the unit's extras such as the generator's forced family), as a small
// property list under one key.
#pragma once

#include "plugins/lv2/PluginDefinition.h"

#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>

namespace plugins::lv2 {

// The host stores the control values itself, so nothing here touches a parameter: restoring
// never changes a port or a value, and hosts that restore ports after the state or the state
// after the ports get the same sound. A state that is not ours (wrong type, size, version or
// shape) puts what it would have held back to the unit's own; an absent one changes nothing.
// Sessions saved with the JUCE build hold no state of ours but the JUCE client's (JuceState.h),
// whose parameters exist nowhere else: restore then applies it to the unit as its full state,
// parameters included, with the editor's size, and says so (Restored::parameters), so that the
// ports the host has left alone do not put the defaults back (ControlPorts::holdUnmoved). One
// the unit cannot have written is refused as a state not ours is. Saved again while ports are
// still left alone, our state keeps those parameters' values (the host's are the defaults), and
// restores them the same way: a session opened from the JUCE build and saved keeps its sound.
// Threads: save may run beside the render thread; restore in the instantiation class.
class PluginState {
public:
  static constexpr std::int64_t kVersion = 1;
  // Beyond this a state is not one we wrote: room for a tuning's two files at their largest.
  static constexpr std::size_t kMaximumBytes = 3 << 20;

  PluginState(const PluginDefinition& definition, AUAudioUnit& unit, const LV2_URID_Map& map);

  struct Restored {
    LV2_State_Status status;
    std::uint64_t parameters = 0; // those the state set, bit a for address a
  };

  // held: the parameters whose values the ports do not hold (bit a for address a).
  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle,
                        std::uint64_t held = 0) const;
  Restored restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // The editor's size kept from a state, if any.
  std::optional<std::pair<int, int>> editorSize() const noexcept;
  void setEditorSize(int width, int height) noexcept;

  // The property list of these bytes, or nothing when they are not one we wrote.
  static std::optional<foundation::PropertyList> decode(const void* data, std::size_t size);

private:
  Restored restoreJuceState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
  void restoreFrom(const foundation::PropertyList* state);
  std::uint64_t restoreParameters(const foundation::PropertyList* values);
  void restoreEditorSize(const foundation::PropertyList* size) noexcept;

  const PluginDefinition& definition_;
  AUAudioUnit& unit_;
  std::string keyUri_, juceKeyUri_;
  LV2_URID key_, juceKey_, stringType_;
  std::atomic<int> editorWidth_{0}, editorHeight_{0}; // 0: none kept
};

} // namespace plugins::lv2
