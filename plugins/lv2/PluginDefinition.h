// What an LV2 plug-in of a unit is made of: its URI, its unit, its parameter table and the
// ports that follow from them, shared by the plug-in and the tool that describes it.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/foundation/ParameterTable.h"
#include "platform/foundation/PropertyList.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace plugins::lv2 {

// The ports, in this order: one control input per parameter at its address, the atom input
// (MIDI and time:Position, and from the editor its size), then either the two audio outputs or
// the atom MIDI output, then two control outputs that tell the editor the size the state keeps,
// and for a unit whose editor changes its extras, the atom output that tells the editor them.
// Beyond this an editor's side is not one we kept.
inline constexpr int kMaximumEditorSide = 1 << 14;

struct PortLayout {
  std::uint32_t parameters = 0;
  bool audioOutput = false;
  bool notify = false;

  std::uint32_t eventsIn() const noexcept { return parameters; }
  std::uint32_t left() const noexcept { return parameters + 1; }
  std::uint32_t right() const noexcept { return parameters + 2; }
  std::uint32_t eventsOut() const noexcept { return parameters + 1; }
  std::uint32_t editorWidth() const noexcept { return parameters + (audioOutput ? 3 : 2); }
  std::uint32_t editorHeight() const noexcept { return editorWidth() + 1; }
  std::uint32_t notifyOut() const noexcept { return editorHeight() + 1; }
  std::uint32_t count() const noexcept { return editorHeight() + (notify ? 2 : 1); }
};

struct PluginDefinition {
  const char* uri;           // as hosts store it in sessions: never changes
  std::string_view name;     // doap:name
  std::string_view lv2Class; // of the LV2 core vocabulary: InstrumentPlugin, MIDIPlugin
  std::span<const foundation::ParameterRow> parameters; // addresses 0 … size − 1, any order
  bool audioOutput = false;                             // stereo audio out; otherwise MIDI out
  bool passesMidi = false;       // what arrives at the MIDI input leaves the MIDI output too
  std::string_view presetFolder; // of the unit's resources

  // A new unit with these factory presets (the bundle's when null), or null when it cannot be
  // made. Control thread.
  std::shared_ptr<AUAudioUnit> (*make)(std::shared_ptr<const FactoryPresetCatalogue> presets);
  // What the state holds of the unit beyond its parameters (may be null): written into the
  // dictionary, read back from it; restore gets null for "back to the unit's own". Control
  // thread (save may run beside the render thread).
  void (*saveExtras)(const AUAudioUnit& unit, foundation::PropertyList::Dictionary& into) = nullptr;
  void (*restoreExtras)(AUAudioUnit& unit, const foundation::PropertyList* from) = nullptr;
  // The editor changes the extras too (the synthesiser's tuning): they travel between it and
  // the plug-in as messages (ExtrasExchange.h), and the plug-in has a notify output for them.
  bool editorChangesExtras = false;

  // Its editor's URI: an LV2 UI in a shared object of its own, which only the description and
  // that UI name.
  std::string uiUri() const { return std::string(uri) + "#ui"; }
  PortLayout ports() const noexcept {
    return {static_cast<std::uint32_t>(parameters.size()), audioOutput, editorChangesExtras};
  }
  // The row at an address, null beyond them.
  const foundation::ParameterRow* row(std::uint64_t address) const noexcept {
    for (const auto& r : parameters)
      if (r.address == address)
        return &r;
    return nullptr;
  }
};

} // namespace plugins::lv2
