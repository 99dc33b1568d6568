// The scheduled-MIDI queue's producer and consumer steps.
#include "platform/audiounit/MIDIEventQueue.h"

#include <cstdint>

MIDIEventQueue::MIDIEventQueue() noexcept {
  for (std::size_t i = 0; i < kCapacity; ++i)
    cells_[i].sequence.store(i, std::memory_order_relaxed);
}

bool MIDIEventQueue::push(const ScheduledMIDIEvent& event) noexcept {
  std::size_t position = enqueuePosition_.load(std::memory_order_relaxed);
  Cell* cell;
  for (;;) {
    cell = &cells_[position & (kCapacity - 1)];
    const std::size_t sequence = cell->sequence.load(std::memory_order_acquire);
    const auto lag = static_cast<std::intptr_t>(sequence) - static_cast<std::intptr_t>(position);
    if (lag == 0) {
      if (enqueuePosition_.compare_exchange_weak(position, position + 1, std::memory_order_relaxed))
        break;
    } else if (lag < 0) {
      return false; // the consumer has not yet freed this cell: full
    } else {
      position = enqueuePosition_.load(std::memory_order_relaxed);
    }
  }
  cell->event = event;
  cell->sequence.store(position + 1, std::memory_order_release);
  return true;
}

bool MIDIEventQueue::pop(ScheduledMIDIEvent& event) noexcept {
  Cell& cell = cells_[dequeuePosition_ & (kCapacity - 1)];
  if (cell.sequence.load(std::memory_order_acquire) != dequeuePosition_ + 1)
    return false;
  event = cell.event;
  cell.sequence.store(dequeuePosition_ + kCapacity, std::memory_order_release);
  ++dequeuePosition_;
  return true;
}
