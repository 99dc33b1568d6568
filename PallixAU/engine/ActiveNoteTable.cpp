// Tracking a started note, and making room for it in a full table.
#include "PallixAU/engine/ActiveNoteTable.h"

namespace pallix::engine {

std::optional<ActiveNote> ActiveNoteTable::add(const ActiveNote& note) noexcept {
  if (activeNoteCount_ < kCapacity) {
    activeNotes_[static_cast<std::size_t>(activeNoteCount_++)] = note;
    return std::nullopt;
  }
  std::size_t slot = 0;
  for (std::size_t i = 1; i < activeNotes_.size(); ++i)
    if (activeNotes_[i].samplesUntilOff < activeNotes_[slot].samplesUntilOff)
      slot = i;
  const ActiveNote ended = activeNotes_[slot];
  activeNotes_[slot] = note;
  return ended;
}

} // namespace pallix::engine
