// One channel of the velvet-noise reverb: taps scattered into a buffer, read back through a
// damped feedback loop one loop length later.
#pragma once

#include "QuorvaneAU/dsp/VelvetEchoes.h"

#include <vector>

class VelvetReverberator {
public:
  // Control thread: sizes the buffer for twice the loop length and clears it.
  void configure(int loopLength);
  // Control thread: clears the buffer and the damping state without reallocating.
  void reset() noexcept;
  // Real-time safe. Replaces samples[0 ... n-1] with the wet signal for these taps.
  void process(float* samples, int n, const std::vector<VelvetEcho>& taps) noexcept;

  float feedback = 0.0f;
  float dampingCoef = 1.0f;
  float dampingState = 0.0f;
  std::vector<float> buffer;
  int bufferSize = 0;
  int loopLength = 0;
  int readPos = 0;
  int feedbackPos = 0;
};
