// The LV2 UI entry points of an editor definition: what lv2ui_descriptor hands the host.
#pragma once

#include "plugins/lv2/ui/EditorDefinition.h"

#include <lv2/ui/ui.h>

namespace plugins::lv2 {

// The descriptor of definition, made on first use: one definition per shared object, a
// constant. Any thread.
const LV2UI_Descriptor* uiDescriptorOf(const EditorDefinition& definition);

} // namespace plugins::lv2
