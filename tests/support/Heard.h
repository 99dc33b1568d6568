// What a test heard from a unit or a kernel: MIDI messages with their sample times, and the
// audio's loudness and range.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

// One MIDI message with the sample time it was stamped with.
struct TimedMidi {
  std::int64_t time = 0;
  std::array<std::uint8_t, 3> bytes{};
  bool noteOn() const { return (bytes[0] & 0xF0) == 0x90 && bytes[2] > 0; }
  bool noteOff() const {
    return (bytes[0] & 0xF0) == 0x80 || ((bytes[0] & 0xF0) == 0x90 && !bytes[2]);
  }
  int note() const { return bytes[1]; }
  bool operator==(const TimedMidi&) const = default;
};

// The sample times of the note's note-ons (or note-offs).
inline std::vector<std::int64_t> onTimes(const std::vector<TimedMidi>& sent, int note,
                                         bool offs = false) {
  std::vector<std::int64_t> times;
  for (const auto& m : sent)
    if ((offs ? m.noteOff() : m.noteOn()) && m.note() == note)
      times.push_back(m.time);
  return times;
}

// The notes started from sample time `from` up to `to`, and those from `lowest` up to `highest`
// among them.
inline std::multiset<int> notesOn(const std::vector<TimedMidi>& sent, std::int64_t from,
                                  std::int64_t to, int lowest = 0, int highest = 127) {
  std::multiset<int> notes;
  for (const auto& m : sent)
    if (m.noteOn() && m.time >= from && m.time < to && m.note() >= lowest && m.note() <= highest)
      notes.insert(m.note());
  return notes;
}

// The loudest sample.
inline float peak(const float* samples, std::size_t count) {
  float result = 0;
  for (std::size_t i = 0; i < count; ++i)
    result = std::max(result, std::abs(samples[i]));
  return result;
}

// Empty when every sample is finite and within ±1; otherwise the first that is not.
inline std::string audioFault(const float* samples, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (!(std::abs(samples[i]) <= 1.0f))
      return "sample " + std::to_string(i) + " is " + std::to_string(samples[i]);
  return {};
}
