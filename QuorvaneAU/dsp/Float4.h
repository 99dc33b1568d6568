// Four float lanes for the unison oscillators: GCC vector extensions, or a portable struct.
#pragma once

#include <cstdint>

#if defined(__GNUC__)

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

// Rows become columns: afterwards a holds the former lane 0 of a, b, c, d, and so on.
inline void transpose(Float4& a, Float4& b, Float4& c, Float4& d) noexcept {
  const Float4 t0 = __builtin_shuffle(a, b, Int4{0, 4, 1, 5});
  const Float4 t1 = __builtin_shuffle(c, d, Int4{0, 4, 1, 5});
  const Float4 t2 = __builtin_shuffle(a, b, Int4{2, 6, 3, 7});
  const Float4 t3 = __builtin_shuffle(c, d, Int4{2, 6, 3, 7});
  a = __builtin_shuffle(t0, t1, Int4{0, 1, 4, 5});
  b = __builtin_shuffle(t0, t1, Int4{2, 3, 6, 7});
  c = __builtin_shuffle(t2, t3, Int4{0, 1, 4, 5});
  d = __builtin_shuffle(t2, t3, Int4{2, 3, 6, 7});
}

// ((a0 + a1) + a2) + a3 and the same for b, computed side by side in lanes 0 and 1.
inline void laneSums(Float4 a, Float4 b, float& sumA, float& sumB) noexcept {
  const Float4 lo = __builtin_shuffle(a, b, Int4{0, 4, 1, 5});
  const Float4 hi = __builtin_shuffle(a, b, Int4{2, 6, 3, 7});
  Float4 s = lo + __builtin_shuffle(lo, Int4{2, 3, 2, 3});
  s = s + hi;
  s = s + __builtin_shuffle(hi, Int4{2, 3, 2, 3});
  sumA = s[0];
  sumB = s[1];
}

#endif

#if defined(__GNUC__) && defined(__SSE2__)
#include <emmintrin.h>

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

#elif defined(__GNUC__)

inline void gatherPairs(const float* p0, const float* p1, const float* p2, const float* p3,
                        Float4& first, Float4& second) noexcept {
  first = Float4{p0[0], p1[0], p2[0], p3[0]};
  second = Float4{p0[1], p1[1], p2[1], p3[1]};
}

#endif

#if !defined(__GNUC__)

struct Float4 {
  float v[4];
  float& operator[](int i) noexcept { return v[i]; }
  float operator[](int i) const noexcept { return v[i]; }
};
struct Int4 {
  std::int32_t v[4];
  std::int32_t& operator[](int i) noexcept { return v[i]; }
  std::int32_t operator[](int i) const noexcept { return v[i]; }
};

inline Float4 operator+(Float4 a, Float4 b) noexcept {
  return {{a[0] + b[0], a[1] + b[1], a[2] + b[2], a[3] + b[3]}};
}
inline Float4 operator-(Float4 a, Float4 b) noexcept {
  return {{a[0] - b[0], a[1] - b[1], a[2] - b[2], a[3] - b[3]}};
}
inline Float4 operator*(Float4 a, Float4 b) noexcept {
  return {{a[0] * b[0], a[1] * b[1], a[2] * b[2], a[3] * b[3]}};
}
inline Float4 operator*(float a, Float4 b) noexcept { return Float4{{a, a, a, a}} * b; }
inline Float4 operator*(Float4 a, float b) noexcept { return a * Float4{{b, b, b, b}}; }
inline Int4 operator&(Int4 a, std::int32_t m) noexcept {
  return {{a[0] & m, a[1] & m, a[2] & m, a[3] & m}};
}
inline Int4 operator+(Int4 a, Int4 b) noexcept {
  return {{a[0] + b[0], a[1] + b[1], a[2] + b[2], a[3] + b[3]}};
}
inline Int4 truncateToInt(Float4 x) noexcept {
  return {{static_cast<std::int32_t>(x[0]), static_cast<std::int32_t>(x[1]),
           static_cast<std::int32_t>(x[2]), static_cast<std::int32_t>(x[3])}};
}
inline Float4 toFloat(Int4 x) noexcept {
  return {{static_cast<float>(x[0]), static_cast<float>(x[1]), static_cast<float>(x[2]),
           static_cast<float>(x[3])}};
}
inline Float4 wrapOnce(Float4 x, float limit) noexcept {
  for (int i = 0; i < 4; ++i)
    if (x[i] >= limit)
      x[i] -= limit;
  return x;
}

inline Float4 broadcast(float x) noexcept { return {{x, x, x, x}}; }
inline Int4 broadcast(std::int32_t x) noexcept { return {{x, x, x, x}}; }
inline Float4 load4(const float* p) noexcept { return {{p[0], p[1], p[2], p[3]}}; }
inline void store4(float* p, Float4 v) noexcept {
  for (int i = 0; i < 4; ++i)
    p[i] = v[i];
}

inline void transpose(Float4& a, Float4& b, Float4& c, Float4& d) noexcept {
  Float4* rows[4] = {&a, &b, &c, &d};
  float m[4][4];
  for (int r = 0; r < 4; ++r)
    for (int col = 0; col < 4; ++col)
      m[r][col] = (*rows[r])[col];
  for (int r = 0; r < 4; ++r)
    for (int col = 0; col < 4; ++col)
      (*rows[r])[col] = m[col][r];
}

inline void laneSums(Float4 a, Float4 b, float& sumA, float& sumB) noexcept {
  sumA = a[0] + a[1] + a[2] + a[3];
  sumB = b[0] + b[1] + b[2] + b[3];
}

inline void gatherPairs(const float* p0, const float* p1, const float* p2, const float* p3,
                        Float4& first, Float4& second) noexcept {
  first = {{p0[0], p1[0], p2[0], p3[0]}};
  second = {{p0[1], p1[1], p2[1], p3[1]}};
}

#endif
