// Seeds for the synthesiser's random generators.
#include "QuorvaneAU/dsp/Lcg.h"

#include <random>

namespace quorvane::dsp {

std::uint32_t randomNonZeroSeed() {
  // A device per call: std::random_device is not safe to share between threads, and kernels
  // may be built on several at once.
  std::random_device device;
  std::uint32_t seed = 0;
  while (seed == 0)
    seed = static_cast<std::uint32_t>(device());
  return seed;
}

} // namespace quorvane::dsp
