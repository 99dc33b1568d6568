// The fuzz targets: each takes any bytes and answers what went wrong, if anything. libFuzzer
// runs them (`make fuzz`); every build's tests replay the inputs saved under tests/data/fuzz.
#pragma once

#include "tests/fuzz/FuzzInput.h"

#include <cstdint>
#include <span>

namespace fuzz {

// A phrase catalogue decoded; one that decodes is played by the generator for a few choruses.
Verdict catalogue(std::span<const std::uint8_t> bytes);

// A property list read (XML or binary), written and read back, then applied as the saved state
// of both units, which render a few blocks.
Verdict unitState(std::span<const std::uint8_t> bytes);

// The synthesiser's render block under any host.
Verdict synthRender(std::span<const std::uint8_t> bytes);

// The generator's render block under any host, the host's tempo, meter and transport included.
Verdict generatorRender(std::span<const std::uint8_t> bytes);

// A standard MIDI file read as quorvane-render reads it (needs JUCE: not in the core build).
Verdict midiFile(std::span<const std::uint8_t> bytes);

// Any bytes as the state a host restores into either LV2 plug-in, which then plays a few runs
// and saves a state that restores (our LV2 client is built with JUCE: not in the core build).
Verdict pluginState(std::span<const std::uint8_t> bytes);

} // namespace fuzz
