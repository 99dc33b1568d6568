// The Turtle of an LV2 bundle, derived from a plug-in definition and what its unit says of its
// values: the manifest, the plug-in with its ports, and the presets.
#pragma once

#include "plugins/lv2/PluginDefinition.h"

#include <string>
#include <vector>

namespace plugins::lv2 {

// Values by address.
struct DescribedPreset {
  std::string name;
  std::vector<float> values;
};

// The URI of factory preset number (from 0): the one JUCE's client gave it, which sessions
// saved with that build name.
std::string presetUri(const PluginDefinition& definition, std::size_t number);

// uiBinary: the editor's shared object, empty for a bundle without one.
std::string manifestTurtle(const PluginDefinition& definition, const std::string& binary,
                           const std::string& pluginFile,
                           const std::vector<DescribedPreset>& presets,
                           const std::string& presetsFile, const std::string& uiBinary);
// defaults: by address, the values of a new unit (its first factory preset); withUi: the
// plug-in names its editor.
std::string pluginTurtle(const PluginDefinition& definition, const std::vector<float>& defaults,
                         bool withUi);
std::string presetsTurtle(const PluginDefinition& definition,
                          const std::vector<DescribedPreset>& presets);

} // namespace plugins::lv2
