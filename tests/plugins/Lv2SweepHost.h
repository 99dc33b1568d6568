// Both LV2 plug-ins in a liblilv host as the sweeps run them; kept apart from lilv's headers,
// which JUCE's include path would shadow with its own copy.
#pragma once

#include "tests/plugins/SweepChecks.h"

#include <string>

// The two bundles' folders; their world is read at the first instance.
PluginHost lv2Host(std::string name, std::string quorvaneBundle, std::string pallixBundle);
