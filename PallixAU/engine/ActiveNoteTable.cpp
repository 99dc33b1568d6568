// Tracking a started note, and making room for it in a full table.
#include "PallixAU/engine/ActiveNoteTable.h"

namespace pallix::engine {

std::optional<ActiveNote> ActiveNoteTable::add(const ActiveNote& note) noexcept {
  if (count_ < kCapacity) {
    notes_[static_cast<std::size_t>(count_++)] = note;
    return std::nullopt;
  }
  std::size_t slot = 0;
  for (std::size_t i = 1; i < notes_.size(); ++i)
    if (notes_[i].samplesUntilOff < notes_[slot].samplesUntilOff)
      slot = i;
  const ActiveNote ended = notes_[slot];
  notes_[slot] = note;
  return ended;
}

} // namespace pallix::engine
