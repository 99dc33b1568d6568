// What the generator sends through the host's MIDI output, kept in order of sending.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tools {

struct SentMessage {
  std::int64_t sampleTime = 0; // as the unit stamped it
  std::array<std::uint8_t, 3> bytes{};
  std::uint8_t length = 0; // 1 to 3
};

// Threads: add on the render thread; the rest on the main thread while nothing renders.
class MidiCapture {
public:
  // Room for `expected` messages, so that adding seldom allocates on the render thread.
  explicit MidiCapture(std::size_t expected) { messages_.reserve(expected); }

  // A generous guess of what a run of that many quarter notes sends.
  static std::size_t expectedCount(double quarterNotes) noexcept {
    constexpr double kPerQuarter = 64.0, kAtLeast = 1024.0, kAtMost = 1 << 20;
    return static_cast<std::size_t>(std::clamp(quarterNotes * kPerQuarter, kAtLeast, kAtMost));
  }

  // Keeps a message of 1 to 3 bytes; the unit sends nothing longer, so longer ones are dropped.
  void add(std::int64_t sampleTime, int length, const std::uint8_t* bytes) {
    if (length < 1 || length > 3)
      return;
    SentMessage& m = messages_.emplace_back();
    m.sampleTime = sampleTime;
    m.length = static_cast<std::uint8_t>(length);
    std::copy(bytes, bytes + length, m.bytes.begin());
  }

  const std::vector<SentMessage>& messages() const noexcept { return messages_; }

private:
  std::vector<SentMessage> messages_;
};

} // namespace tools
