// One --seed number turned into the several 32-bit seeds a unit's random sources take.
#pragma once

#include <array>
#include <cstdint>

namespace hosting {

// Three 32-bit seeds drawn from one 64-bit number with splitmix64 (Steele, Lea and Flood,
// "Fast splittable pseudorandom number generators", 2014), so nearby numbers give unrelated
// seeds.
std::array<std::uint32_t, 3> deriveSeeds(std::uint64_t seed) noexcept;

} // namespace hosting
