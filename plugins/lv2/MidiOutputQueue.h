// The MIDI a unit sends, held in fixed storage until the block that contains its time.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plugins::lv2 {

// One message of 1 to 3 bytes at a frame of the block being written.
struct FramedMidi {
  std::uint32_t frame;
  std::uint8_t length;
  std::array<std::uint8_t, 3> bytes;
};

// A unit may stamp a message later than the block it renders (the generator plays ahead of
// the beat); the host gets it in the block that contains that time. Threads: construction
// allocates (a control thread); the rest belongs to the render thread and never allocates.
class MidiOutputQueue {
public:
  explicit MidiOutputQueue(std::size_t capacity) : held_(capacity), due_(capacity) {}

  void clear() noexcept { size_ = 0; }
  // Messages of other lengths, and any beyond the capacity, are dropped.
  void add(AUEventSampleTime sampleTime, int length, const std::uint8_t* bytes) noexcept;
  // The messages due before blockStart + frames, in time order (equal times in the order
  // sent), at their frame of the block (earlier ones at 0); later ones wait. Valid until the
  // next call.
  std::span<const FramedMidi> takeDue(AUEventSampleTime blockStart, std::uint32_t frames) noexcept;

private:
  struct Held {
    AUEventSampleTime sampleTime;
    std::uint8_t length;
    std::array<std::uint8_t, 3> bytes;
  };

  std::vector<Held> held_;
  std::vector<FramedMidi> due_;
  std::size_t size_ = 0;
};

} // namespace plugins::lv2
