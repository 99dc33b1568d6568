// A biquad (Audio EQ Cookbook low-pass, band-pass, high-pass) run as direct form I over a block.
#pragma once

#include <array>

namespace quorvane::dsp {

// Threads: prepare and reset on a control thread outside rendering; the rest on the render
// thread, where none of it allocates, locks or fails.
class IIRKernel {
public:
  // The most frames one process call filters; frames past it leave the call unfiltered. Real
  // render calls are far shorter (the tools cap --block-size at 16384; plug-in hosts and the
  // app use a few hundred to a few thousand frames), so in use every frame is filtered. The cap
  // stays, rather than filtering any length, because it is part of the engine's defined
  // output, which the tests and the recorded renders pin down sample for sample.
  static constexpr int kMaxFrames = 16384;

  // The rate cutoffs refer to; clears the history.
  void prepare(double sampleRate) noexcept;
  // Clears the history; the coefficients stay.
  void reset() noexcept;

  // Coefficient setters, cutoff in Hz and Q; computed in double, stored as float.
  void setLowPass(double cutoff, double q) noexcept;
  void setBandPass(double cutoff, double q) noexcept; // constant skirt gain: peak gain Q
  void setHighPass(double cutoff, double q) noexcept;
  // Another filter's coefficients, as they are.
  void setCoefficients(const std::array<float, 5>& c) noexcept { coefficients_ = c; }

  // Filters the first min(frames, kMaxFrames) samples in place, continuing the history.
  void process(float* buffer, int frames) noexcept;
  // Whether process would leave a block of +0 samples as it is and keep the history: the
  // history holds only +0 and the coefficients are finite with b0 not negative, so each output is
  // b0·(+0) = +0 plus and minus zeros, which stays +0.
  bool holdsSilence() const noexcept;

  // b0, b1, b2, a1, a2 (a0 = 1).
  const std::array<float, 5>& coefficients() const noexcept { return coefficients_; }

private:
  struct Shape {
    double cosW0;
    double alpha;
    double a0;
  };
  Shape shapeFor(double cutoff, double q) const noexcept;
  void store(double b0, double b1, double b2, const Shape& s) noexcept;

  std::array<float, 5> coefficients_{};
  std::array<float, 2> carryIn_{};  // last two inputs, oldest first
  std::array<float, 2> carryOut_{}; // last two outputs, oldest first
  double sampleRate_ = 44100.0;
};

} // namespace quorvane::dsp
