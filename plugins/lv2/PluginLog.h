// What an LV2 plug-in logs inside a host: errors always, informational lines only when asked.
#pragma once

namespace plugins::lv2 {

// The variable the JUCE plug-ins read too ("1" asks for informational lines).
inline constexpr const char* kPluginLogVariable = "ORRINBROOK_PLUGIN_LOG";

// Sends this binary's log to standard error, informational lines only when kPluginLogVariable
// is set to something other than "0". Idempotent; any thread but the render thread.
void quietenPluginLog();

} // namespace plugins::lv2
