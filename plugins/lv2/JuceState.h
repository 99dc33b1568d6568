// What the JUCE build of a plug-in kept in an LV2 session: its processor's state, the unit's
// full state with the editor's size beside it, as JUCE's base-64 text under
// "<uri>:StateString".
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/foundation/PropertyList.h"

#include <cstddef>
#include <optional>
#include <string>

namespace plugins::lv2 {

// The JUCE build's states are a few kilobytes; beyond this, bytes are not one of them.
inline constexpr std::size_t kMaximumJuceStateBytes = 1 << 20;
// The state's dictionary entry with the editor's size: {width, height}.
inline constexpr const char* kJuceEditorSizeKey = "pluginEditorSize";

// The key it is stored under.
std::string juceStateKey(const char* pluginUri);

// The state the text holds for the unit (an atom:String, its terminating zero counted or not),
// or nothing when the JUCE build of this unit cannot have written it: not JUCE's base-64 of at
// most kMaximumJuceStateBytes, not a property-list dictionary, or a dictionary the unit would
// not take as its own (StereoSourceUnit::stateProblem). The size is checked before a byte is
// read.
std::optional<foundation::PropertyList> readJuceState(const void* text, std::size_t size,
                                                      const AUAudioUnit& unit);

} // namespace plugins::lv2
