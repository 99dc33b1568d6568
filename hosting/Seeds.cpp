// splitmix64 seeds.
#include "hosting/Seeds.h"

namespace hosting {

std::array<std::uint32_t, 3> deriveSeeds(std::uint64_t seed) noexcept {
  std::array<std::uint32_t, 3> seeds{};
  for (auto& s : seeds) {
    seed += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = seed;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    s = static_cast<std::uint32_t>(z >> 32);
  }
  return seeds;
}

} // namespace hosting
