// The synthesiser as an LV2 instrument: its definition.
#pragma once

#include "plugins/lv2/PluginDefinition.h"

namespace plugins::lv2 {

extern const PluginDefinition kQuorvaneDefinition;

} // namespace plugins::lv2
