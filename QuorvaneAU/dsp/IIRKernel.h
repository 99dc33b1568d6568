// A biquad (Audio EQ Cookbook low-pass, band-pass, high-pass) run as direct form I over a block.
#pragma once

#include <array>

class IIRKernel {
public:
  static constexpr int kDefaultCapacity = 16384;

  // Control thread. capacity is the most frames one process call filters.
  explicit IIRKernel(int capacity = kDefaultCapacity) noexcept : maxFrames(capacity + 2) {}

  // Coefficient setters, cutoff in Hz and Q; computed in double, stored as float.
  // Real-time safe.
  void setLowPass(double cutoff, double q) noexcept;
  void setBandPass(double cutoff, double q) noexcept; // constant skirt gain: peak gain Q
  void setHighPass(double cutoff, double q) noexcept;

  // Filters the first min(frames, capacity) samples in place, continuing the history.
  // Real-time safe.
  void process(float* buffer, int frames) noexcept;

  // Clears the history; the coefficients stay.
  void reset() noexcept;

  std::array<float, 5> coefficients{}; // b0, b1, b2, a1, a2 (a0 = 1)
  std::array<float, 2> carryIn{};      // last two inputs, oldest first
  std::array<float, 2> carryOut{};     // last two outputs, oldest first
  int maxFrames;                       // capacity + 2
  double sampleRate = 44100.0;

private:
  struct Shape {
    double cosW0;
    double alpha;
    double a0;
  };
  Shape shapeFor(double cutoff, double q) const noexcept;
  void store(double b0, double b1, double b2, const Shape& s) noexcept;
};
