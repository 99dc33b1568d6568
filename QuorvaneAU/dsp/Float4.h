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

#else

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
inline Int4 operator&(Int4 a, std::int32_t m) noexcept {
  return {{a[0] & m, a[1] & m, a[2] & m, a[3] & m}};
}
inline Int4 operator+(Int4 a, std::int32_t b) noexcept {
  return {{a[0] + b, a[1] + b, a[2] + b, a[3] + b}};
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

#endif
