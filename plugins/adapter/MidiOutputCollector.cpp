// MIDI from the unit, held for the host's output buffer.
#include "plugins/adapter/MidiOutputCollector.h"

#include <algorithm>

namespace plugins {

void MidiOutputCollector::add(AUEventSampleTime sampleTime, int length,
                              const std::uint8_t* bytes) noexcept {
  if (size_ == events_.size() || length < 1 || length > 3 || !bytes)
    return;
  Event& event = events_[size_++];
  event.sampleTime = sampleTime;
  event.length = length;
  std::copy(bytes, bytes + length, event.bytes.begin());
}

void MidiOutputCollector::writeDue(juce::MidiBuffer& midi, AUEventSampleTime blockStart,
                                   int frames) noexcept {
  const AUEventSampleTime end = blockStart + frames;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < size_; ++i) {
    const Event& event = events_[i];
    if (event.sampleTime >= end) {
      events_[kept++] = event;
      continue;
    }
    const auto offset = std::max<AUEventSampleTime>(event.sampleTime - blockStart, 0);
    midi.addEvent(event.bytes.data(), event.length, static_cast<int>(offset));
  }
  size_ = kept;
}

} // namespace plugins
