// What the plug-ins log inside a host: errors always, informational lines only when asked for.
#pragma once

namespace plugins {

// The environment variable that asks for informational lines ("1").
inline constexpr const char* kPluginLogVariable = "ORRINBROOK_PLUGIN_LOG";

// Sends this plug-in's log to standard error, dropping informational lines unless
// kPluginLogVariable is set to something other than "0". Each plug-in binary has its own log,
// so this touches no other code in the host. Idempotent; any thread but the render thread.
void quietenPluginLog();

} // namespace plugins
