// Plays timed MIDI into the synthesiser unit call by call.
#include "tools/quorvane-render/OfflineRender.h"

#include "platform/audiounit/RenderEventList.h"

#include <algorithm>

namespace tools {

namespace {

// The most events any one call will carry, so the list is sized once.
std::size_t largestCall(const std::vector<TimedMidiEvent>& events, int blockSize) {
  std::size_t largest = 0, run = 0;
  std::int64_t block = -1;
  for (const TimedMidiEvent& e : events) {
    const std::int64_t b = e.sampleTime / blockSize;
    run = b == block ? run + 1 : 1;
    block = b;
    largest = std::max(largest, run);
  }
  return std::max<std::size_t>(largest, 1);
}

void addEvent(RenderEventList& list, const TimedMidiEvent& e) {
  const int length = static_cast<int>(e.bytes.size());
  if (length >= 1 && length <= 3)
    list.addMIDI(e.sampleTime, 0, e.bytes.data(), length);
  else if (length > 3)
    list.addSysEx(e.sampleTime, 0, e.bytes.data(), static_cast<std::uint32_t>(length));
}

} // namespace

OSStatus renderOffline(const AURenderBlock& render, const std::vector<TimedMidiEvent>& events,
                       std::int64_t totalFrames, int blockSize, const BlockSink& sink,
                       const RenderMonitor& monitor) {
  RenderEventList list(largestCall(events, blockSize));
  auto next = events.begin();
  const auto eventsFor = [&](std::int64_t start, int frames) {
    list.clear();
    for (; next != events.end() && next->sampleTime < start + frames; ++next)
      addEvent(list, *next);
    return list.head();
  };
  return renderInBlocks(render, {0, totalFrames, blockSize}, eventsFor, sink, monitor);
}

} // namespace tools
