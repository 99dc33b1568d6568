// The text written and read, the messages forged and taken apart.
#include "plugins/lv2/ExtrasMessage.h"

#include <lv2/atom/util.h>

#include <cstring>
#include <span>

namespace plugins::lv2 {

std::string extrasText(const PluginDefinition& definition, const AUAudioUnit& unit) {
  foundation::PropertyList::Dictionary extras;
  if (definition.saveExtras)
    definition.saveExtras(unit, extras);
  return foundation::PropertyList(std::move(extras)).toXML();
}

bool applyExtrasText(const PluginDefinition& definition, AUAudioUnit& unit, std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto parsed = foundation::PropertyList::read(std::span(bytes, text.size()));
  if (!parsed.value || !parsed.value->dictionary())
    return false;
  if (definition.restoreExtras)
    definition.restoreExtras(unit, &*parsed.value);
  return true;
}

bool forgeExtras(LV2_Atom_Forge& forge, const Uris& uris, std::string_view text) noexcept {
  LV2_Atom_Forge_Frame frame;
  if (!lv2_atom_forge_object(&forge, &frame, 0, uris.extras))
    return false;
  const bool written = lv2_atom_forge_key(&forge, uris.extrasText) &&
                       lv2_atom_forge_string(&forge, text.data(), std::uint32_t(text.size()));
  lv2_atom_forge_pop(&forge, &frame);
  return written;
}

bool forgeExtrasRequest(LV2_Atom_Forge& forge, const Uris& uris) noexcept {
  LV2_Atom_Forge_Frame frame;
  if (!lv2_atom_forge_object(&forge, &frame, 0, uris.extrasRequest))
    return false;
  lv2_atom_forge_pop(&forge, &frame);
  return true;
}

std::optional<std::string_view> extrasIn(const LV2_Atom_Object& object, const Uris& uris) noexcept {
  if (object.body.otype != uris.extras)
    return std::nullopt;
  const LV2_Atom* text = nullptr;
  lv2_atom_object_get(&object, uris.extrasText, &text, 0);
  if (!text || text->type != uris.atomString || text->size == 0)
    return std::nullopt;
  // An atom:String counts its terminating zero, which it must have.
  const auto* body = static_cast<const char*>(LV2_ATOM_BODY_CONST(text));
  if (body[text->size - 1] != '\0')
    return std::nullopt;
  return std::string_view(body, text->size - 1);
}

bool isExtrasRequest(const LV2_Atom_Object& object, const Uris& uris) noexcept {
  return object.body.otype == uris.extrasRequest;
}

} // namespace plugins::lv2
