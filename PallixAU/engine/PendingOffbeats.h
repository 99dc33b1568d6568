// The offbeat notes a pulse schedules after itself: in simple meters one, swung by Easiness; in
// compound meters the middle and last notes of the pulse's triplet.
#pragma once

#include "PallixAU/engine/BarGeometry.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace pallix::engine {

struct PendingOffbeat {
  double targetQuarter = -1.0; // absolute, in quarter notes; negative when none waits
  std::uint8_t note = 0;
  std::uint8_t channel = 0;
  std::uint8_t velocity = 100;
};

// A plain value of the render thread. A new pulse overwrites what its predecessor left in a
// slot; a phrase start or a jump back cancels both.
class PendingOffbeats {
public:
  // first: the offbeat of simple meters, the middle triplet note of compound ones.
  enum Slot : std::size_t { first, lastTriplet };

  void schedule(Slot slot, double targetQuarter, std::uint8_t note,
                std::uint8_t velocity) noexcept {
    offbeats_[slot] = {targetQuarter, note, 0, velocity};
  }

  // Hands each offbeat due by quarter q to play, first then lastTriplet, and forgets it.
  template <class Play> void playDue(double q, Play&& play) noexcept {
    for (PendingOffbeat& offbeat : offbeats_)
      if (offbeat.targetQuarter >= 0.0 && offbeat.targetQuarter - kPositionTolerance <= q) {
        play(static_cast<const PendingOffbeat&>(offbeat));
        offbeat.targetQuarter = -1.0;
      }
  }

  bool waiting(Slot slot) const noexcept { return offbeats_[slot].targetQuarter >= 0.0; }
  void clear() noexcept { offbeats_ = {}; }

private:
  std::array<PendingOffbeat, 2> offbeats_{};
};

} // namespace pallix::engine
