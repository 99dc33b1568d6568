// The velvet-noise tap patterns of the reverb: one random-sign click per millisecond cell.
#pragma once

#include <cstdint>
#include <vector>

struct VelvetEcho {
  int position = 0; // samples
  float sign = 1.0f;
  float amplitude = 0.0f;
};

class VelvetEchoes {
public:
  static constexpr int kTapCount = 1000;

  VelvetEchoes();

  // Control thread: draws fresh patterns for both channels from rngL and rngR.
  void setSampleRate(double sr);
  // Real-time safe: sets every tap's amplitude for a 60 dB decay over reverbTime seconds.
  void update(float reverbTime) noexcept;

  std::vector<VelvetEcho> left;
  std::vector<VelvetEcho> right;
  int spacing = 0;    // samples per one-millisecond cell
  int loopLength = 0; // spacing * 1000
  float sampleRate = 44100.0f;
  float lastKnownTime = -1.0f;
  std::uint32_t rngL;
  std::uint32_t rngR;

private:
  void drawPattern(std::vector<VelvetEcho>& taps, std::uint32_t& state);
};
