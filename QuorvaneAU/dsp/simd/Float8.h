// Eight float lanes for the voice loop on processors with AVX2: two four-lane Float4 values
// side by side, with the same operations lane for lane. Only for functions compiled for AVX2
// (gnu::target("avx2")), which alone may take or return these types.
#pragma once

#include "QuorvaneAU/dsp/simd/Float4.h"

#include <immintrin.h>

#include <cstdint>

namespace quorvane::dsp::wide {

using Float8 = float __attribute__((vector_size(32)));
using Int8 = std::int32_t __attribute__((vector_size(32)));

[[gnu::target("avx2"), gnu::always_inline]] inline Int8 truncateToInt(Float8 x) noexcept {
  return __builtin_convertvector(x, Int8);
}
[[gnu::target("avx2"), gnu::always_inline]] inline Float8 toFloat(Int8 x) noexcept {
  return __builtin_convertvector(x, Float8);
}
// Lanes at or above limit have limit subtracted once. A blend of x and x - limit rather than
// Float4's masked subtraction: the same values (x - 0 is x, -0 included), one step shorter on
// the phases' chain from sample to sample.
[[gnu::target("avx2"), gnu::always_inline]] inline Float8 wrapOnce(Float8 x, float limit) noexcept {
  const Float8 l = {limit, limit, limit, limit, limit, limit, limit, limit};
  return x >= l ? x - l : x;
}
[[gnu::target("avx2"), gnu::always_inline]] inline Float8 broadcast8(float x) noexcept {
  return Float8{x, x, x, x, x, x, x, x};
}
[[gnu::target("avx2"), gnu::always_inline]] inline Int8 broadcast8(std::int32_t x) noexcept {
  return Int8{x, x, x, x, x, x, x, x};
}
// lo in lanes 0-3, hi in lanes 4-7.
[[gnu::target("avx2"), gnu::always_inline]] inline Float8 join(Float4 lo, Float4 hi) noexcept {
  return __builtin_shufflevector(lo, hi, 0, 1, 2, 3, 4, 5, 6, 7);
}
[[gnu::target("avx2"), gnu::always_inline]] inline Int8 join(Int4 lo, Int4 hi) noexcept {
  return __builtin_shufflevector(lo, hi, 0, 1, 2, 3, 4, 5, 6, 7);
}
[[gnu::target("avx2"), gnu::always_inline]] inline Float8 load8(const float* p) noexcept {
  Float8 v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
[[gnu::target("avx2"), gnu::always_inline]] inline void store8(float* p, Float8 v) noexcept {
  __builtin_memcpy(p, &v, sizeof v);
}
[[gnu::target("avx2"), gnu::always_inline]] inline void store8(volatile std::int32_t* p,
                                                               Int8 v) noexcept {
  *reinterpret_cast<volatile Int8*>(p) = v;
}

// Float4's transpose in each half: afterwards a holds the former lane 0 (and 4) of a, b, c, d.
[[gnu::target("avx2"), gnu::always_inline]] inline void
transposeHalves(Float8& a, Float8& b, Float8& c, Float8& d) noexcept {
  const __m256 t0 = _mm256_unpacklo_ps(a, b);
  const __m256 t1 = _mm256_unpacklo_ps(c, d);
  const __m256 t2 = _mm256_unpackhi_ps(a, b);
  const __m256 t3 = _mm256_unpackhi_ps(c, d);
  a = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(1, 0, 1, 0));
  b = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(3, 2, 3, 2));
  c = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(1, 0, 1, 0));
  d = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(3, 2, 3, 2));
}

// first = {p0[0], ..., p7[0]}, second = {p0[1], ..., p7[1]}: eight adjacent pairs loaded as
// 64-bit halves, paired across the two 128-bit halves and unzipped within each.
[[gnu::target("avx2"), gnu::always_inline]] inline void
gatherPairs(const float* const p[8], Float8& first, Float8& second) noexcept {
  const auto pair = [](const float* lo, const float* hi) {
    double a;
    __builtin_memcpy(&a, lo, sizeof a); // floats are only 4-byte aligned
    return _mm_loadh_pi(_mm_castpd_ps(_mm_set_sd(a)), reinterpret_cast<const __m64*>(hi));
  };
  const __m256 ab = _mm256_set_m128(pair(p[4], p[5]), pair(p[0], p[1]));
  const __m256 cd = _mm256_set_m128(pair(p[6], p[7]), pair(p[2], p[3]));
  first = _mm256_shuffle_ps(ab, cd, _MM_SHUFFLE(2, 0, 2, 0));
  second = _mm256_shuffle_ps(ab, cd, _MM_SHUFFLE(3, 1, 3, 1));
}

} // namespace quorvane::dsp::wide
