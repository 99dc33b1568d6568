// The stab notes a chord pulse strums after itself, each waiting for its frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pallix::engine {

struct StrummedNote {
  std::int64_t framesLeft = 0; // until the note starts
  std::int64_t gate = 0;       // counted from its start
  std::uint8_t note = 0;
  std::uint8_t velocity = 0;
};

// A plain value of the render thread. A note is sent only when its frame comes, so that a stop
// or a jump back before then cancels it, rather than leaving it to start after the note-offs
// that end everything.
class PendingStrum {
public:
  // A chord's tones after its root, twice over: a jump can start a chord while another's strum
  // still waits. Beyond that a note is dropped, never left without its note-off.
  static constexpr int kCapacity = 8;

  void add(const StrummedNote& note) noexcept {
    if (count_ < kCapacity)
      notes_[static_cast<std::size_t>(count_++)] = note;
  }

  // One frame passes: each note whose frame has come is handed to play, in order of adding.
  template <class Play> void advanceFrame(Play&& play) noexcept {
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
      StrummedNote& n = notes_[static_cast<std::size_t>(i)];
      if (--n.framesLeft <= 0)
        play(static_cast<const StrummedNote&>(n));
      else
        notes_[static_cast<std::size_t>(kept++)] = n;
    }
    count_ = kept;
  }

  void clear() noexcept { count_ = 0; }

private:
  std::array<StrummedNote, kCapacity> notes_{};
  int count_ = 0;
};

} // namespace pallix::engine
