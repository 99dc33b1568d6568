// Builds the generator unit a run asks for and connects it to the tool as its host.
#pragma once

#include "tools/pallix-render/GeneratorOptions.h"

#include <memory>

namespace pallix::unit {
class PallixAudioUnit;
}

namespace tools {
class MidiCapture;

// The unit with its factory presets and phrase catalogues (from --resources, with the user's
// catalogues, or the bundle's), then --preset, --state, every --set and --family. Throws
// UsageError for an unknown preset, parameter or family and an unreadable state file.
std::shared_ptr<pallix::unit::PallixAudioUnit> makeGenerator(const GeneratorOptions& options);

// Gives the unit the host's musical context, transport and MIDI input, then allocates it: the
// unit reads the blocks when allocating. The timeline and capture live as long as the blocks.
void connectGenerator(pallix::unit::PallixAudioUnit& unit, const GeneratorOptions& options,
                      std::shared_ptr<hosting::HostTimeline> timeline,
                      std::shared_ptr<MidiCapture> capture);

} // namespace tools
