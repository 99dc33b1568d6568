// The band-limited table of eight waveforms, eleven levels deep, shared by every voice.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace quorvane::dsp {

class Wavetable {
public:
  static constexpr int kLevels = 11;
  static constexpr int kRows = 8;
  static constexpr int kRowLength = 2048;
  static constexpr int kRowMask = kRowLength - 1;
  static constexpr int kLevelStride = kRows * kRowLength; // 16384
  static constexpr int kSize = kLevels * kLevelStride;    // 180224
  static constexpr int kMaxLevel = kLevels - 1;
  static constexpr int kGuard = 4;

  // Sample i of row r at level m is samples[m * kLevelStride + r * kRowLength + i].
  // Level m holds harmonics 1 ... 1024 >> m. kGuard zeros follow the last row. Every row is a
  // sum of sines that starts at exactly 0, so reading one past a row's end (the next row's
  // first sample, or the guard) gives the same value as wrapping to its start.
  std::vector<float> samples;

  // Builds the whole table; prefer shared(), which builds it once per process.
  Wavetable();

  // The process-wide table, built on first use (any thread; thread-safe).
  static const Wavetable& shared();

  // The band-limit level for a phase increment x in table samples per output sample.
  // Any float is accepted: NaN and values at or below 1 give level 0. Real-time safe.
  static int levelForIncrement(float x) noexcept;
};

// Tables of random signs (±1) and magnitudes in [0, 1) drawn from the LCG; entry k comes
// from the state after k + 1 steps. Index 0 exists but the table never uses it.
using WavetableRandomTable = std::array<float, 1025>;
WavetableRandomTable wavetableSignTable(std::uint32_t seed);
WavetableRandomTable wavetableMagnitudeTable(std::uint32_t seed);

} // namespace quorvane::dsp
