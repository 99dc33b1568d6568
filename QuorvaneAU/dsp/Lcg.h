// The 32-bit linear congruential generator every random source of the synthesiser uses.
#pragma once

#include <cstdint>

namespace quorvane::dsp {

constexpr std::uint32_t lcgStep(std::uint32_t state) noexcept {
  return state * 1664525u + 1013904223u; // wraps modulo 2^32
}

// The state as a value in [0, 1], rounded to single precision (may round up to 1).
constexpr float lcgUnitFloat(std::uint32_t state) noexcept {
  return static_cast<float>(state) * (1.0f / 4294967296.0f);
}

// A seed in 1 ... 4294967295 from the system's random source.
std::uint32_t randomNonZeroSeed();

} // namespace quorvane::dsp
