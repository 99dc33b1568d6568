// A fixed number of observer slots that callers on any thread may notify without locking.
#pragma once

#include "platform/audiounit/AUParameterTypes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>
#include <utility>

// Threads: notify() may run on any thread, several at once (the render thread included: it
// never allocates, locks or throws). add() and remove() run on main or control threads; they
// allocate (the observer's copy) and remove() may wait for running calls of that observer.
//
// Removal guarantee: when remove() returns, the observer is not running on any thread and will
// not be called again. So remove() must not be called from inside a call of the same list's
// observers (it would wait for itself). Observers must not throw.
template <std::size_t Capacity, class... Args> class ObserverList {
  static_assert(Capacity > 0 && Capacity <= 256, "a token keeps the slot index in 8 bits");

public:
  using Observer = std::function<void(Args...)>;

  ObserverList() = default;
  ObserverList(const ObserverList&) = delete;
  ObserverList& operator=(const ObserverList&) = delete;

  // The new observer's token, or kAUNoObserverToken (nothing added) when every slot is taken
  // or the observer is empty.
  AUObserverToken add(Observer observer) {
    if (!observer)
      return kAUNoObserverToken;
    for (std::size_t i = 0; i < Capacity; ++i) {
      Slot& slot = slots_[i];
      std::uint64_t word = slot.word.load(std::memory_order_acquire);
      if (stateOf(word) != kFree)
        continue;
      const std::uint64_t generation = generationOf(word) + 1;
      if (!slot.word.compare_exchange_strong(word, pack(generation, kClaimed),
                                             std::memory_order_acquire))
        continue;
      slot.observer = std::move(observer);
      // Release: a notifier that sees the slot active sees the observer written above.
      slot.word.store(pack(generation, kActive), std::memory_order_release);
      return static_cast<AUObserverToken>((generation << 8) | i);
    }
    return kAUNoObserverToken;
  }

  // Removes the observer of token; false (nothing done) for a token that names none.
  bool remove(AUObserverToken token) {
    if (token <= 0)
      return false;
    const std::size_t index = static_cast<std::size_t>(token & 0xFF);
    const std::uint64_t generation = static_cast<std::uint64_t>(token) >> 8;
    if (index >= Capacity)
      return false;
    Slot& slot = slots_[index];
    std::uint64_t expected = pack(generation, kActive);
    if (!slot.word.compare_exchange_strong(expected, pack(generation, kRemoving)))
      return false;
    // With the slot marked (sequentially consistent), a notifier either has already counted
    // itself in (and we wait for it) or will see the mark and skip the observer.
    while (slot.running.load() != 0)
      std::this_thread::yield();
    slot.observer = nullptr;
    slot.word.store(pack(generation, kFree), std::memory_order_release);
    return true;
  }

  // Calls every observer in slot order, except the one whose token is skip.
  void notify(AUObserverToken skip, Args... args) const noexcept {
    for (std::size_t i = 0; i < Capacity; ++i) {
      const Slot& slot = slots_[i];
      if (stateOf(slot.word.load(std::memory_order_acquire)) != kActive)
        continue;
      slot.running.fetch_add(1);
      const std::uint64_t word = slot.word.load();
      if (stateOf(word) == kActive &&
          static_cast<AUObserverToken>((generationOf(word) << 8) | i) != skip)
        slot.observer(args...);
      slot.running.fetch_sub(1, std::memory_order_release);
    }
  }

  std::size_t capacity() const noexcept { return Capacity; }

private:
  // Each slot's state and generation share one word, so a stale token can never match a
  // later observer of the same slot.
  static constexpr std::uint64_t kFree = 0, kClaimed = 1, kActive = 2, kRemoving = 3;
  static constexpr std::uint64_t pack(std::uint64_t generation, std::uint64_t state) noexcept {
    return (generation << 2) | state;
  }
  static constexpr std::uint64_t stateOf(std::uint64_t word) noexcept { return word & 3; }
  static constexpr std::uint64_t generationOf(std::uint64_t word) noexcept { return word >> 2; }

  struct Slot {
    std::atomic<std::uint64_t> word{0};
    mutable std::atomic<int> running{0};
    Observer observer;
  };
  Slot slots_[Capacity];
};
