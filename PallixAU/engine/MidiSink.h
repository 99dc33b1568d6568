// Where the sequencer's MIDI messages go: a plain function and what it writes to.
#pragma once

#include <cstdint>

namespace pallix::engine {

// A function pointer rather than a capturing callable, so that passing and calling it never
// allocates. Without a function, messages are dropped. Threads: called on the render thread,
// during Kernel::render only.
struct MidiSink {
  using Send = void (*)(void* target, std::int64_t sampleTime, const std::uint8_t* bytes,
                        int length) noexcept;
  Send send = nullptr;
  void* target = nullptr;

  void operator()(std::int64_t sampleTime, const std::uint8_t* bytes, int length) const noexcept {
    if (send)
      send(target, sampleTime, bytes, length);
  }
};

} // namespace pallix::engine
