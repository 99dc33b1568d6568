// A mono delay line with a gliding, fractionally interpolated delay time and feedback.
#pragma once

#include <vector>

namespace quorvane::dsp {

// Threads: prepare and reset on a control thread outside rendering; the rest on the render
// thread, where none of it allocates, locks or fails.
class SimpleDelayKernel {
public:
  // Sizes the memory for four seconds at sampleRate and clears it; the time starts at the
  // last one set, without a glide.
  void prepare(double sampleRate);
  // Clears the memory without reallocating; the glide ends at its target.
  void reset() noexcept;

  // The time the delay glides to, kept within what the memory holds (NaN counts as 0).
  void setDelay(float seconds) noexcept;
  void setFeedback(float amount) noexcept { feedback_ = amount; }

  // Replaces each of the n samples with the delayed (wet) signal. Resets itself when what it
  // reads back is not finite.
  void process(float* samples, int n) noexcept;
  // For a block of n samples of +0: when the memory holds only +0 and the feedback is not
  // infinite, process would write +0 over +0 and return +0, changing only the write position
  // and the glide. Takes that step and returns true; otherwise changes nothing and returns
  // false, and the caller runs process.
  bool skipSilence(int n) noexcept;

private:
  float delaySeconds_ = 0.25f; // last requested delay time
  float feedback_ = 0.0f;
  float sampleRate_ = 48000.0f;
  int bufferLength_ = 0;
  std::vector<float> buffer_;
  int writePos_ = 0;
  double currentDelay_ = 0.0; // seconds
  double targetDelay_ = 0.0;  // seconds
  // Writes of +0 since the last of anything else, up to the length: at the length, every cell
  // has been overwritten with +0.
  int silentWrites_ = 0;
};

} // namespace quorvane::dsp
