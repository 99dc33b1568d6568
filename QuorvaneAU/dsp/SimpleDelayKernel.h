// A mono delay line with a gliding, fractionally interpolated delay time and feedback.
#pragma once

#include <vector>

class SimpleDelayKernel {
public:
  // Control thread: sizes the memory for four seconds at sr and clears it.
  void setSampleRate(double sr);
  // Control thread: clears the memory without reallocating.
  void reset() noexcept;
  // Real-time safe. Replaces each of the n samples with the delayed (wet) signal.
  void process(float* samples, int n) noexcept;

  float delaySeconds = 0.25f; // last requested delay time
  float smoothing = 0.9999f;  // per-sample coefficient of the delay-time glide
  float feedback = 0.0f;
  float sampleRate = 48000.0f;
  int bufferLength = 0;
  std::vector<float> buffer;
  int writePos = 0;
  double currentDelay = 0.0; // seconds
  double targetDelay = 0.0;  // seconds
};
