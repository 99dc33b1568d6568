// The plug-in-state fuzz target's VST3 half.
#pragma once

#include "plugins/lv2/PluginDefinition.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdint>
#include <span>

namespace fuzz {

// The unit the definition makes, as a VST3 plug-in handed these bytes as its state.
Verdict vst3StateInto(const plugins::lv2::PluginDefinition& definition,
                      std::span<const std::uint8_t> bytes);

} // namespace fuzz
