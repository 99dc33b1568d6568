// A bounded lock-free queue of scheduled MIDI messages: many producers, one consumer.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

struct ScheduledMIDIEvent {
  AUEventSampleTime sampleTime = 0;
  std::uint8_t cable = 0;
  std::uint8_t length = 0; // 1 ... 3
  std::uint8_t bytes[3] = {};
};

// A ring of cells with one sequence number each (Vyukov's bounded queue): a producer claims a
// position with one compare-and-swap, writes the cell and publishes it; the consumer takes
// published cells in position order, so each producer's events come out in the order it put
// them in.
//
// Threads: push from any thread, several at once; pop from one thread at a time (the render
// thread). Neither allocates, locks or throws.
class MIDIEventQueue {
public:
  static constexpr std::size_t kCapacity = 1024; // a power of two

  MIDIEventQueue() noexcept;
  MIDIEventQueue(const MIDIEventQueue&) = delete;
  MIDIEventQueue& operator=(const MIDIEventQueue&) = delete;

  // False, dropping the event, when the queue is full.
  bool push(const ScheduledMIDIEvent& event) noexcept;
  // False when no published event is waiting.
  bool pop(ScheduledMIDIEvent& event) noexcept;

private:
  struct Cell {
    std::atomic<std::size_t> sequence;
    ScheduledMIDIEvent event;
  };

  alignas(64) std::atomic<std::size_t> enqueuePosition_{0};
  alignas(64) std::size_t dequeuePosition_ = 0;
  Cell cells_[kCapacity];
};
