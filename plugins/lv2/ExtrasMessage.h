// The unit's extras (PluginDefinition::saveExtras) as messages between its editor and the
// plug-in: the dictionary's XML property list, the same text both ways.
#pragma once

#include "plugins/lv2/PluginDefinition.h"
#include "plugins/lv2/Uris.h"

#include <lv2/atom/forge.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace plugins::lv2 {

// The longest text a message carries: with its headers it fits the atom buffers the plug-in
// asks hosts for (kAtomBufferBytes).
inline constexpr std::size_t kLargestExtrasText = 56 * 1024;
inline constexpr std::size_t kAtomBufferBytes = 64 * 1024;

// What the unit holds beyond its parameters, as text. Not the render thread.
std::string extrasText(const PluginDefinition& definition, const AUAudioUnit& unit);
// Gives the unit what a text of extrasText holds; false, and nothing changed, for any other text.
bool applyExtrasText(const PluginDefinition& definition, AUAudioUnit& unit, std::string_view text);

// Writes the message (at the forge's place, as a sequence's event body or a whole atom); false
// when the forge has no room for it.
bool forgeExtras(LV2_Atom_Forge& forge, const Uris& uris, std::string_view text) noexcept;
bool forgeExtrasRequest(LV2_Atom_Forge& forge, const Uris& uris) noexcept;
// The text of a message of extras, or nothing when the object is not one.
std::optional<std::string_view> extrasIn(const LV2_Atom_Object& object, const Uris& uris) noexcept;
bool isExtrasRequest(const LV2_Atom_Object& object, const Uris& uris) noexcept;

} // namespace plugins::lv2
