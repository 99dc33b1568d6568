// The velvet-noise tap patterns of the reverb: one random-sign click per millisecond cell.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvane::dsp {

struct VelvetEcho {
  int position = 0; // samples
  float sign = 1.0f;
  float amplitude = 0.0f;
};

// Threads: construction, seed and prepare on a control thread outside rendering;
// setReverbTime on the render thread, where it never allocates, locks or fails. The patterns
// hold no history, so there is nothing to reset.
class VelvetEchoes {
public:
  static constexpr int kTapCount = 1000;

  // Seeds both pattern generators from the system's random device.
  VelvetEchoes();

  // The states the next prepare draws the left and right patterns from.
  void seed(std::uint32_t left, std::uint32_t right) noexcept;
  // Draws fresh patterns for both channels, a tap in each millisecond cell at sampleRate.
  void prepare(double sampleRate);
  // Sets every tap's amplitude for a 60 dB decay over seconds.
  void setReverbTime(float seconds) noexcept;

  // Whether every tap's amplitude is finite (a NaN time makes them NaN).
  bool amplitudesFinite() const noexcept { return amplitudesFinite_; }

  const std::vector<VelvetEcho>& left() const noexcept { return left_; }
  const std::vector<VelvetEcho>& right() const noexcept { return right_; }
  // Samples of one pass over the pattern: kTapCount cells.
  int loopLength() const noexcept { return loopLength_; }

private:
  void drawPattern(std::vector<VelvetEcho>& taps, std::uint32_t& state);

  std::vector<VelvetEcho> left_;
  std::vector<VelvetEcho> right_;
  int spacing_ = 0;    // samples per one-millisecond cell
  int loopLength_ = 0; // spacing * 1000
  float sampleRate_ = 44100.0f;
  float lastKnownTime_ = -1.0f;
  bool amplitudesFinite_ = true;
  std::uint32_t rngL_;
  std::uint32_t rngR_;
};

} // namespace quorvane::dsp
