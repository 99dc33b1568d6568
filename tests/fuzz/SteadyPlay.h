// Playing a unit as a well-behaved host does, for the targets whose bytes go elsewhere (a
// catalogue, a saved state): whatever those bytes held, the units must still play cleanly.
#pragma once

#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "hosting/HostTimeline.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdint>

namespace fuzz {

struct SteadyPlay {
  double sampleRate = 8000.0;
  double tempo = 600.0; // fast, so that a few choruses take few frames
  hosting::Meter meter;
  std::int64_t frames = 8000;
  AUAudioFrameCount blockSize = 512;
};

// Allocates the generator with a moving transport, plays, then stops the transport: its MIDI
// must be valid, in its calls, and every note must end.
Verdict playGenerator(pallix::unit::PallixAudioUnit& unit, const SteadyPlay& play);

// Allocates the synthesiser and plays a chord, then releases it: the audio must stay finite and
// within ±1.
Verdict playSynth(quorvane::unit::QuorvaneAudioUnit& unit, const SteadyPlay& play);

} // namespace fuzz
