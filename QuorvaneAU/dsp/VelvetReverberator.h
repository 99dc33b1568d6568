// One channel of the velvet-noise reverb: taps scattered into a buffer, read back through a
// damped feedback loop one loop length later. Taps at least kGathered samples out are scattered
// for kGathered samples of input at a time, however short the calls, so that short calls cost
// no more per sample than long ones.
#pragma once

#include "QuorvaneAU/dsp/VelvetEchoes.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quorvane::dsp {

// Threads: prepare and reset on a control thread outside rendering; the rest on the render
// thread, where none of it allocates, locks or fails.
class VelvetReverberator {
public:
  static constexpr int kGathered = 1024;

  // Sizes the buffer for twice loopLength and clears it, the damping state and the gathered
  // input.
  void prepare(int loopLength);
  // Clears the buffer, the damping state and the gathered input without reallocating.
  void reset() noexcept;

  // The gain of one pass round the loop.
  void setFeedback(float gain) noexcept { feedback_ = gain; }
  // The one-pole coefficient of the loop's damping: 1 passes everything.
  void setDamping(float coefficient) noexcept { dampingCoef_ = coefficient; }

  // Replaces samples[0 ... n-1] with the wet signal for these taps, in ascending position as
  // VelvetEchoes draws them. Resets itself when what it reads back is not finite.
  void process(float* samples, int n, const std::vector<VelvetEcho>& taps) noexcept;
  // For a block of n samples of +0 through taps whose amplitudes are all finite: when the
  // buffer and the damping hold only +0 and the feedback and damping are finite, process would
  // add and read nothing but zeros and return +0, changing only the positions. Takes that step
  // and returns true; otherwise changes nothing and returns false, and the caller runs process.
  bool skipSilence(int n, bool tapsFinite) noexcept;

private:
  // Takes n more samples, fewer than kGathered, into the gathered input; returns where they go.
  float* gatherInto(int n) noexcept;
  // Adds x[0 ... n-1] through the taps [first, last) into the cells from `from` on.
  void scatter(const VelvetEcho* first, const VelvetEcho* last, const float* x, int n, int from,
               bool& finite) noexcept;

  float feedback_ = 0.0f;
  float dampingCoef_ = 1.0f;
  float dampingState_ = 0.0f;
  std::vector<float> buffer_;
  int bufferSize_ = 0;
  int loopLength_ = 0;
  int readPos_ = 0;
  int feedbackPos_ = 0;
  // Samples since a block last wrote anything but zeros, up to the buffer size: every cell is
  // read and cleared to +0 once per buffer size, so at the size they all hold +0.
  int silentSteps_ = 0;
  // Input the taps from kGathered on have yet to scatter: it came in while the read position
  // was gatheredFrom_. Calls shorter than kGathered add to it until it holds at least
  // kGathered samples. Aligned to cache lines, so that the scatter's vector loads from it
  // never straddle two (at 16-byte alignment they cost 15 %).
  alignas(64) std::array<float, 2 * kGathered> gathered_{};
  int gatheredCount_ = 0;
  int gatheredFrom_ = 0;
};

} // namespace quorvane::dsp
