// Float4 and Int4 as plain structs: the same operations, lane by lane, for any compiler.
#pragma once

#include <cstdint>

namespace quorvane::dsp {

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
inline void store4(volatile std::int32_t* p, Int4 v) noexcept {
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

} // namespace quorvane::dsp
