// The MIDI a unit sends, kept in fixed storage until the host block that contains its time.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plugins {

// A unit may stamp a message later than the block it renders (the generator plays ahead of
// the beat); the host hears it in the block that contains that time, as a unit host would
// schedule it. Threads: construction allocates (a control thread); the rest belongs to the
// render thread and never allocates or locks (beyond what the host's MidiBuffer needs).
class MidiOutputCollector {
public:
  explicit MidiOutputCollector(std::size_t capacity) : events_(capacity) {}

  // Forgets every message (the unit starts over).
  void clear() noexcept { size_ = 0; }
  // One message of 1 to 3 bytes; others, and any beyond the capacity, are dropped.
  void add(AUEventSampleTime sampleTime, int length, const std::uint8_t* bytes) noexcept;
  // Moves every message due before the block's end into midi, at its sample time less
  // blockStart (earlier ones at 0), after any message midi already holds at that position;
  // later ones wait for their block.
  void writeDue(juce::MidiBuffer& midi, AUEventSampleTime blockStart, int frames) noexcept;

  std::size_t size() const noexcept { return size_; }

private:
  struct Event {
    AUEventSampleTime sampleTime;
    int length;
    std::array<std::uint8_t, 3> bytes;
  };

  std::vector<Event> events_;
  std::size_t size_ = 0;
};

} // namespace plugins
