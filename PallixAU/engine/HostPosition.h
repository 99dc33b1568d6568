// What the host says of its tempo, meter, position and transport for one buffer, as plain values.
#pragma once

#include <cstdint>

namespace pallix::engine {

// Threads: a plain value, made for each buffer on the render thread. A host that cannot tell
// leaves the answer's flag false, and the sequencer then ignores that answer's values.
struct HostPosition {
  // The musical context: tempo in quarters a minute, the meter as beats per bar over the beat
  // unit, and the position in quarters.
  bool hasMusicalContext = false;
  double tempo = 0.0;
  double beatsPerBar = 0.0;
  std::int64_t beatUnit = 0;
  double beatPosition = 0.0;
  std::int64_t samplesToNextBeat = 0;
  double downbeatPosition = 0.0; // of the bar the position falls in
  // The transport state.
  bool hasTransportState = false;
  bool moving = false;
};

} // namespace pallix::engine
