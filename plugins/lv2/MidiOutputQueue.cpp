// MIDI from the unit, held until its block.
#include "plugins/lv2/MidiOutputQueue.h"

#include <algorithm>

namespace plugins::lv2 {

void MidiOutputQueue::add(AUEventSampleTime sampleTime, int length,
                          const std::uint8_t* bytes) noexcept {
  if (size_ == held_.size() || length < 1 || length > 3 || !bytes)
    return;
  Held& message = held_[size_++];
  message.sampleTime = sampleTime;
  message.length = static_cast<std::uint8_t>(length);
  message.bytes = {};
  std::copy(bytes, bytes + length, message.bytes.begin());
}

std::span<const FramedMidi> MidiOutputQueue::takeDue(AUEventSampleTime blockStart,
                                                     std::uint32_t frames) noexcept {
  const AUEventSampleTime end = blockStart + frames;
  std::size_t kept = 0, due = 0;
  for (std::size_t i = 0; i < size_; ++i) {
    const Held& message = held_[i];
    if (message.sampleTime >= end) {
      held_[kept++] = message;
      continue;
    }
    const auto frame =
        static_cast<std::uint32_t>(std::max<AUEventSampleTime>(message.sampleTime - blockStart, 0));
    due_[due++] = {frame, message.length, message.bytes};
  }
  size_ = kept;
  // Stable by hand: std::stable_sort may allocate. Units send in time order almost always, so
  // the insertion sort has next to nothing to move.
  for (std::size_t i = 1; i < due; ++i)
    for (std::size_t j = i; j > 0 && due_[j - 1].frame > due_[j].frame; --j)
      std::swap(due_[j - 1], due_[j]);
  return {due_.data(), due};
}

} // namespace plugins::lv2
