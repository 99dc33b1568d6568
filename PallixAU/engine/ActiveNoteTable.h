// The notes the sequencer has started and still has to end, each with the frames left to its
// note-off.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pallix::engine {

// A note the sequencer still has to end.
struct ActiveNote {
  std::uint8_t note = 0;
  std::uint8_t channel = 0;
  std::int64_t samplesUntilOff = 0;
};

// A plain value of the render thread, of fixed capacity so that tracking never allocates.
// Sends nothing itself: the notes to end are handed back to the caller, which sends their
// note-offs.
class ActiveNoteTable {
public:
  static constexpr int kCapacity = 16;

  // Tracks a note that starts now. In a full table the note closest to its end (the first of
  // equals) gives up its slot and is returned: its note-off goes out before the new note-on,
  // so that every note that starts also ends.
  std::optional<ActiveNote> add(const ActiveNote& note) noexcept;

  // One frame passes: each note whose gate has run out is handed to noteOff and forgotten. The
  // last note takes a forgotten one's slot, so the order of the rest changes.
  template <class NoteOff> void advanceFrame(NoteOff&& noteOff) noexcept {
    for (int i = 0; i < activeNoteCount_;) {
      ActiveNote& n = activeNotes_[static_cast<std::size_t>(i)];
      if (--n.samplesUntilOff <= 0) {
        noteOff(static_cast<const ActiveNote&>(n));
        n = activeNotes_[static_cast<std::size_t>(--activeNoteCount_)];
      } else {
        ++i;
      }
    }
  }

  // Hands every note to noteOff, in slot order, and forgets them all.
  template <class NoteOff> void endAll(NoteOff&& noteOff) noexcept {
    for (int i = 0; i < activeNoteCount_; ++i)
      noteOff(static_cast<const ActiveNote&>(activeNotes_[static_cast<std::size_t>(i)]));
    activeNoteCount_ = 0;
  }

  // Forgets every note without ending it.
  void clear() noexcept { activeNoteCount_ = 0; }
  int size() const noexcept { return activeNoteCount_; }

private:
  std::array<ActiveNote, kCapacity> activeNotes_{};
  int activeNoteCount_ = 0;
};

} // namespace pallix::engine
