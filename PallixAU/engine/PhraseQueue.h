// The phrase that is playing (a fill, turnaround or bass run): its notes waiting for their
// positions, where it ends, and what of the accompaniment it silences meanwhile.
#pragma once

#include "PallixAU/engine/BarGeometry.h"
#include "PallixAU/engine/catalogue/CatalogueFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace pallix::engine {

// A phrase note waiting for its position.
struct PendingPhraseEvent {
  double targetQuarter = -1.0; // absolute, in quarter notes
  std::uint8_t note = 0;
  std::uint8_t velocity = 0;
  std::uint8_t channel = 0;
  std::int64_t gateSamples = 0; // at least 1
};

// A plain value of the render thread, of fixed capacity so that starting a phrase never
// allocates: notes beyond it are not queued.
class PhraseQueue {
public:
  static constexpr int kCapacity = 48;

  // A phrase that plays until endQuarter and silences suspends meanwhile, with nothing queued
  // yet; it replaces the phrase playing, if any.
  void start(double endQuarter, SuspensionFlags suspends) noexcept {
    phraseActive_ = true;
    phraseEndQ_ = endQuarter;
    phraseSuspends_ = suspends;
    phraseEventCount_ = 0;
  }

  // The phrase's notes draw their values only while there is room, so the caller asks first.
  bool full() const noexcept { return phraseEventCount_ == kCapacity; }
  // Queues a note of the phrase; ignored when full.
  void push(const PendingPhraseEvent& event) noexcept {
    if (!full())
      phraseEventQueue_[static_cast<std::size_t>(phraseEventCount_++)] = event;
  }

  // Hands each queued note due by quarter q to play and forgets it, then ends the phrase once q
  // reaches its end, with whatever is still queued. The last note takes a played one's place,
  // so notes due together play in that order.
  template <class Play> void playDue(double q, Play&& play) noexcept {
    if (!phraseActive_)
      return;
    for (int i = 0; i < phraseEventCount_;) {
      PendingPhraseEvent& event = phraseEventQueue_[static_cast<std::size_t>(i)];
      if (event.targetQuarter - kPositionTolerance <= q) {
        play(static_cast<const PendingPhraseEvent&>(event));
        event = phraseEventQueue_[static_cast<std::size_t>(--phraseEventCount_)];
      } else {
        ++i;
      }
    }
    if (phraseEndQ_ - kPositionTolerance < q)
      clear();
  }

  // No phrase plays and nothing is queued.
  void clear() noexcept {
    phraseActive_ = false;
    phraseEndQ_ = 0.0;
    phraseSuspends_ = {};
    phraseEventCount_ = 0;
  }

  bool playing() const noexcept { return phraseActive_; }
  // Whether the playing phrase silences every part of parts; false when none plays.
  bool silences(SuspensionFlags parts) const noexcept {
    return phraseActive_ && phraseSuspends_.contains(parts);
  }
  int size() const noexcept { return phraseEventCount_; }

private:
  std::array<PendingPhraseEvent, kCapacity> phraseEventQueue_{};
  int phraseEventCount_ = 0;
  double phraseEndQ_ = 0.0;
  SuspensionFlags phraseSuspends_;
  bool phraseActive_ = false;
};

} // namespace pallix::engine
