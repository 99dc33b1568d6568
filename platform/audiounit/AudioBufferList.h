// Audio buffers as render calls pass them: one buffer per channel in the standard format.
#pragma once

#include <cstddef>
#include <cstdint>

// Threads: plain records; whoever fills a list owns it for the call it is passed to.

struct AudioBuffer {
  std::uint32_t mNumberChannels = 1;
  std::uint32_t mDataByteSize = 0;
  // Null asks the unit to supply its own memory (it then points mData at it).
  void* mData = nullptr;
};

// Holds up to kMaxBuffers buffers in place, so a list never needs the heap.
struct AudioBufferList {
  static constexpr std::uint32_t kMaxBuffers = 16;

  std::uint32_t mNumberBuffers = 0;
  AudioBuffer mBuffers[kMaxBuffers] = {};

  // Points buffer i (i < count, count <= kMaxBuffers) at channels[i], holding frameCount
  // 32-bit floats.
  static AudioBufferList forChannels(float* const* channels, std::uint32_t count,
                                     std::uint32_t frameCount) noexcept {
    AudioBufferList list;
    list.mNumberBuffers = count < kMaxBuffers ? count : kMaxBuffers;
    for (std::uint32_t i = 0; i < list.mNumberBuffers; ++i)
      list.mBuffers[i] = {1, frameCount * std::uint32_t(sizeof(float)), channels[i]};
    return list;
  }

  // Buffer i's samples; null when it has no memory.
  float* channel(std::uint32_t i) const noexcept { return static_cast<float*>(mBuffers[i].mData); }
};
