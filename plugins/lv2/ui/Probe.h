// What our tests ask of a running LV2 UI through its extension data, where hosts never look:
// the mirror's values, what the editor's knobs show, and a user's turn of a control.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>

namespace plugins::lv2 {

inline constexpr const char* kProbeUri = "https://orrinbrook.org/ns/lv2-ui#probe";

struct UiProbe {
  // The mirror's value of the parameter at port; NaN without one.
  float (*mirrorValue)(LV2UI_Handle ui, std::uint32_t port);
  // The value the editor's knob of port shows; NaN where the editor has none, or tells none.
  float (*shownValue)(LV2UI_Handle ui, std::uint32_t port);
  // A user's turn of the control of port to value, start to end: with the editor's knob, or
  // where it tells of none, as the editor writes it (its token, touch and release around the
  // value). False without a parameter at port.
  bool (*turn)(LV2UI_Handle ui, std::uint32_t port, float value);
  // What the editor's preset bar shows (the name, with its mark when changed); valid until the
  // next call.
  const char* (*presetName)(LV2UI_Handle ui);
  // The mirror's extras as the messages carry them (ExtrasMessage.h), valid until the next call;
  // and the editor changing them to those of a text (false for a text of none).
  const char* (*extras)(LV2UI_Handle ui);
  bool (*changeExtras)(LV2UI_Handle ui, const char* text);
};

} // namespace plugins::lv2
