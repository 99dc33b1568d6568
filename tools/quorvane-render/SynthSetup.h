// Builds the synthesiser unit a render asks for: presets, state, parameters, seeds, resources.
#pragma once

#include "tools/quorvane-render/RenderOptions.h"

#include <array>
#include <cstdint>
#include <memory>

namespace quorvane::unit {
class QuorvaneAudioUnit;
}

namespace tools {

// The unit with its factory presets (from --resources or its bundle), then --preset, --state
// and every --set (applyUnitOptions); the seeds reach the engine before allocation, which
// draws the reverb patterns. Throws UsageError for an unknown preset or parameter or an
// unreadable state file.
std::shared_ptr<quorvane::unit::QuorvaneAudioUnit> makeSynth(const RenderOptions& options);

} // namespace tools
