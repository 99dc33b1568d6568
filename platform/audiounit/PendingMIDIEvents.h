// Scheduled MIDI taken off the queue and waiting for its render call, kept in time order.
#pragma once

#include "platform/audiounit/MIDIEventQueue.h"

#include <algorithm>
#include <array>
#include <cstddef>

// Threads: the render thread only. Never allocates, locks or throws.
class PendingMIDIEvents {
public:
  static constexpr std::size_t kCapacity = 1024;

  std::size_t size() const noexcept { return size_; }
  const ScheduledMIDIEvent& operator[](std::size_t index) const noexcept { return events_[index]; }

  // Inserts after every event that is not later, so equal times keep arrival order. False,
  // dropping the event, when full.
  bool insert(const ScheduledMIDIEvent& event) noexcept {
    if (size_ == kCapacity)
      return false;
    auto* end = events_.data() + size_;
    auto* at = std::upper_bound(
        events_.data(), end, event.sampleTime,
        [](AUEventSampleTime time, const ScheduledMIDIEvent& e) { return time < e.sampleTime; });
    std::move_backward(at, end, end + 1);
    *at = event;
    ++size_;
    return true;
  }

  // Forgets the first count events (they have been handed over).
  void dropFront(std::size_t count) noexcept {
    count = std::min(count, size_);
    std::move(events_.data() + count, events_.data() + size_, events_.data());
    size_ -= count;
  }

private:
  std::array<ScheduledMIDIEvent, kCapacity> events_{};
  std::size_t size_ = 0;
};
