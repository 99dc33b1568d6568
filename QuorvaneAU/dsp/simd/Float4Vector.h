// Float4 and Int4 as GCC vector extensions (which clang shares), with SSE2 loads where available.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane::dsp {

using Float4 = float __attribute__((vector_size(16)));
using Int4 = std::int32_t __attribute__((vector_size(16)));

inline Int4 truncateToInt(Float4 x) noexcept { return __builtin_convertvector(x, Int4); }
inline Float4 toFloat(Int4 x) noexcept { return __builtin_convertvector(x, Float4); }
// Lanes at or above limit have limit subtracted once.
inline Float4 wrapOnce(Float4 x, float limit) noexcept {
  const Float4 l = {limit, limit, limit, limit};
  return x - (Float4)((Int4)(x >= l) & (Int4)l);
}

inline Float4 broadcast(float x) noexcept { return Float4{x, x, x, x}; }
inline Int4 broadcast(std::int32_t x) noexcept { return Int4{x, x, x, x}; }

inline Float4 load4(const float* p) noexcept {
  Float4 v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
inline void store4(float* p, Float4 v) noexcept { __builtin_memcpy(p, &v, sizeof v); }
// A store the compiler must not turn into lane extractions (see the voice loop).
inline void store4(volatile std::int32_t* p, Int4 v) noexcept {
  *reinterpret_cast<volatile Int4*>(p) = v;
}

// Rows become columns: afterwards a holds the former lane 0 of a, b, c, d, and so on.
inline void transpose(Float4& a, Float4& b, Float4& c, Float4& d) noexcept {
  const Float4 t0 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
  const Float4 t1 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
  const Float4 t2 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
  const Float4 t3 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
  a = __builtin_shufflevector(t0, t1, 0, 1, 4, 5);
  b = __builtin_shufflevector(t0, t1, 2, 3, 6, 7);
  c = __builtin_shufflevector(t2, t3, 0, 1, 4, 5);
  d = __builtin_shufflevector(t2, t3, 2, 3, 6, 7);
}

// ((a0 + a1) + a2) + a3 and the same for b, computed side by side in lanes 0 and 1.
inline void laneSums(Float4 a, Float4 b, float& sumA, float& sumB) noexcept {
  const Float4 lo = __builtin_shufflevector(a, b, 0, 4, 1, 5);
  const Float4 hi = __builtin_shufflevector(a, b, 2, 6, 3, 7);
  Float4 s = lo + __builtin_shufflevector(lo, lo, 2, 3, 2, 3);
  s = s + hi;
  s = s + __builtin_shufflevector(hi, hi, 2, 3, 2, 3);
  sumA = s[0];
  sumB = s[1];
}

#if defined(__SSE2__)

// first = {p0[0], p1[0], p2[0], p3[0]}, second = {p0[1], p1[1], p2[1], p3[1]}: four adjacent
// pairs loaded as 64-bit halves and unzipped.
inline void gatherPairs(const float* p0, const float* p1, const float* p2, const float* p3,
                        Float4& first, Float4& second) noexcept {
  // Floats are only 4-byte aligned: the low halves go through memcpy (one movq all the same).
  double a, c;
  __builtin_memcpy(&a, p0, sizeof a);
  __builtin_memcpy(&c, p2, sizeof c);
  const __m128 ab = _mm_loadh_pi(_mm_castpd_ps(_mm_set_sd(a)), reinterpret_cast<const __m64*>(p1));
  const __m128 cd = _mm_loadh_pi(_mm_castpd_ps(_mm_set_sd(c)), reinterpret_cast<const __m64*>(p3));
  first = (Float4)_mm_shuffle_ps(ab, cd, _MM_SHUFFLE(2, 0, 2, 0));
  second = (Float4)_mm_shuffle_ps(ab, cd, _MM_SHUFFLE(3, 1, 3, 1));
}

#else

inline void gatherPairs(const float* p0, const float* p1, const float* p2, const float* p3,
                        Float4& first, Float4& second) noexcept {
  first = Float4{p0[0], p1[0], p2[0], p3[0]};
  second = Float4{p0[1], p1[1], p2[1], p3[1]};
}

#endif

} // namespace quorvane::dsp
