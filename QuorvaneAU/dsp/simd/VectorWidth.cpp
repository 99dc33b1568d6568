// The run-time choice of the render loops' vector width, made once at start-up so the render
// path only reads an atomic.
#include "QuorvaneAU/dsp/simd/VectorWidth.h"

#include <atomic>

namespace quorvane::dsp {

namespace {

bool detectEightLanes() noexcept {
#if defined(__x86_64__) && defined(__GNUC__) && !defined(QUORVANE_PORTABLE_SIMD)
  __builtin_cpu_init(); // may run before the library's own start-up code
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

const bool kEightLanes = detectEightLanes();
std::atomic<VectorWidth> chosenWidth{kEightLanes ? VectorWidth::eight : VectorWidth::four};

} // namespace

bool eightLanesAvailable() noexcept { return kEightLanes; }

VectorWidth vectorWidth() noexcept { return chosenWidth.load(std::memory_order_relaxed); }

void useVectorWidth(VectorWidth width) noexcept {
  const bool eight = width == VectorWidth::eight && kEightLanes;
  chosenWidth.store(eight ? VectorWidth::eight : VectorWidth::four, std::memory_order_relaxed);
}

} // namespace quorvane::dsp
