// Flushes denormals to zero for the lifetime of the guard, restoring the caller's mode after.
// The render wrapper holds one for every render call, so no unit's decaying tails fall into
// slow denormal arithmetic, and every unit renders under the same floating-point mode.
#pragma once

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

class DenormalGuard {
public:
#if defined(__SSE__) || defined(_M_X64)
  DenormalGuard() noexcept : saved(_mm_getcsr()) {
    _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
  }
  ~DenormalGuard() { _mm_setcsr(saved); }

private:
  static constexpr unsigned kFlushToZero = 0x8000;
  static constexpr unsigned kDenormalsAreZero = 0x0040;
  unsigned saved;
#elif defined(__aarch64__)
  DenormalGuard() noexcept {
    asm volatile("mrs %0, fpcr" : "=r"(saved));
    asm volatile("msr fpcr, %0" ::"r"(saved | kFlushToZero));
  }
  ~DenormalGuard() { asm volatile("msr fpcr, %0" ::"r"(saved)); }

private:
  static constexpr unsigned long kFlushToZero = 1ul << 24;
  unsigned long saved;
#else
  DenormalGuard() noexcept = default;
#endif

public:
  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;
};
