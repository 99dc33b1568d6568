// The blues generator as an LV2 MIDI plug-in: its definition.
#pragma once

#include "plugins/lv2/PluginDefinition.h"

namespace plugins::lv2 {

extern const PluginDefinition kPallixDefinition;

} // namespace plugins::lv2
