// A parameter's value as text: what editors and plug-in formats show, and what a musician types.
#pragma once

#include "platform/foundation/ParameterTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace foundation {

// The value as the editors and the plug-in formats show it: "12.5 ms", "1.41 Hz", "0.62",
// "C#", "Minor", "24 dB". Not for the render thread (allocates).
std::string displayText(const ParameterRow& row, float value);

// What a typed text means for the row, held to its range; nothing when it cannot be read.
std::optional<float> valueFromText(const ParameterRow& row, std::string_view text);

} // namespace foundation
