// The LV2 entry points of a plug-in definition: what lv2_descriptor hands the host.
#pragma once

#include "plugins/lv2/PluginDefinition.h"

#include <lv2/core/lv2.h>

namespace plugins::lv2 {

// The descriptor of definition, made on first use: one definition per shared object, a
// constant. Any thread.
const LV2_Descriptor* descriptorOf(const PluginDefinition& definition);

} // namespace plugins::lv2
