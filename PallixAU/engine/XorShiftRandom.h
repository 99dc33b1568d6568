// The generator's random source: one 32-bit xorshift state, stepped for every draw.
#pragma once

#include <cstdint>

namespace pallix::engine {

// A plain value, stepped on the render thread only.
struct XorShiftRandom {
  static constexpr std::uint32_t kSeed = 0x1F2E3D4Cu;

  std::uint32_t state = kSeed;

  std::uint32_t step() noexcept {
    std::uint32_t x = state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    state = x;
    return x;
  }
  // In [0, 1], both ends included.
  double uniform() noexcept { return static_cast<double>(step()) / 4294967295.0; }
  // A draw below p: the uniform value strictly less than p.
  bool below(double p) noexcept { return uniform() < p; }
  // The step's result modulo n (n > 0).
  std::uint32_t modulo(std::uint32_t n) noexcept { return step() % n; }
};

} // namespace pallix::engine
