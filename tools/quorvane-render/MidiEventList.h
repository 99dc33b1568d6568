// The events of a standard MIDI file on one time line of samples, ready to play into the synth.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tools {

struct TimedMidiEvent {
  std::int64_t sampleTime = 0;
  std::vector<std::uint8_t> bytes; // one complete message, status byte first
};

struct MidiEventList {
  std::vector<TimedMidiEvent> events; // by sample time; equal times keep track and file order
  double lastEventSeconds = 0.0;      // 0 when there are no events
};

// The first sample at or after a time in seconds: seconds × rate rounded down.
std::int64_t sampleTimeOf(double seconds, double sampleRate) noexcept;

// Reads every track of the file, converts ticks to seconds through the file's tempo map and drops
// meta events, which are no MIDI messages. Throws UsageError when the file is missing,
// unreadable or not a standard MIDI file.
MidiEventList loadMidiEvents(const std::string& path, double sampleRate);

// The same for the bytes of a file; name is what errors call it.
MidiEventList midiEventsFromBytes(std::span<const std::uint8_t> bytes, double sampleRate,
                                  const std::string& name);

} // namespace tools
