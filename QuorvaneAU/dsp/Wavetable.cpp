// Builds the band-limited wavetable by additive synthesis from a 2048-sample sine.
#include "QuorvaneAU/dsp/Wavetable.h"

#include "QuorvaneAU/dsp/Lcg.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorvane::dsp {

namespace {

constexpr int kRandomEntries = 1025;

struct Partial {
  int k;
  float c;
};

// Row 4: a fixed nine-partial spectrum.
constexpr Partial kNinePartials[] = {{1, 1.0f},  {2, 0.7f},  {3, -0.8f}, {4, 0.6f},  {6, 0.5f},
                                     {8, -0.4f}, {10, 0.3f}, {12, 0.2f}, {16, 0.15f}};

float coefficient(int row, int k, const WavetableRandomTable& sA, const WavetableRandomTable& sB,
                  const WavetableRandomTable& sC, const WavetableRandomTable& u) {
  const float kf = static_cast<float>(k);
  switch (row) {
  case 1: // triangle: odd harmonics, alternating signs
    if (k % 2 == 0)
      return 0.0f;
    return ((k / 2) % 2 == 0 ? 0.8105696f : -0.8105696f) / (kf * kf);
  case 2: // square
    return k % 2 == 0 ? 0.0f : 1.2732396f / kf;
  case 3: // rising sawtooth
    return -0.6366198f / kf;
  case 5: { // formant-like bump around harmonic 8
    const float d = std::log2(kf) - 3.0f;
    return std::exp(-0.5f * d * d) * sA[k];
  }
  case 6: // pink-like
    return sB[k] / std::sqrt(kf);
  case 7: // band-limited white noise
    return u[k] * sC[k];
  default:
    return 0.0f;
  }
}

void addPartial(float* row, const float* sine, int k, float c) {
  for (int i = 0; i < Wavetable::kRowLength; ++i)
    row[i] += c * sine[(k * i) & Wavetable::kRowMask];
}

void normalise(float* row) {
  float peak = 0.0f;
  for (int i = 0; i < Wavetable::kRowLength; ++i)
    peak = std::max(peak, std::fabs(row[i]));
  if (peak > 1e-12f) {
    const float scale = 1.0f / peak;
    for (int i = 0; i < Wavetable::kRowLength; ++i)
      row[i] *= scale;
  }
}

} // namespace

WavetableRandomTable wavetableSignTable(std::uint32_t seed) {
  WavetableRandomTable t{};
  for (int k = 0; k < kRandomEntries; ++k) {
    seed = lcgStep(seed);
    t[k] = static_cast<std::int32_t>(seed) >= 0 ? 1.0f : -1.0f;
  }
  return t;
}

WavetableRandomTable wavetableMagnitudeTable(std::uint32_t seed) {
  WavetableRandomTable t{};
  for (int k = 0; k < kRandomEntries; ++k) {
    seed = lcgStep(seed);
    t[k] = static_cast<float>(static_cast<double>(seed) / 4294967296.0);
  }
  return t;
}

Wavetable::Wavetable() : samples(kSize + kGuard, 0.0f) {
  const WavetableRandomTable sA = wavetableSignTable(0xDEADBEEFu);
  const WavetableRandomTable sB = wavetableSignTable(0xCAFEBABEu);
  const WavetableRandomTable sC = wavetableSignTable(0x5EED1234u);
  const WavetableRandomTable u = wavetableMagnitudeTable(0xFEEDFACEu);

  float sine[kRowLength];
  for (int i = 0; i < kRowLength; ++i)
    sine[i] = std::sin(static_cast<float>(i) * 0.0030679614f);

  for (int m = 0; m < kLevels; ++m) {
    const int harmonics = 1024 >> m;
    float* level = samples.data() + m * kLevelStride;
    std::copy(sine, sine + kRowLength, level);
    for (int row = 1; row < kRows; ++row) {
      float* r = level + row * kRowLength;
      if (row == 4) {
        for (const Partial& p : kNinePartials)
          if (p.k <= harmonics)
            addPartial(r, sine, p.k, p.c);
      } else {
        for (int k = 1; k <= harmonics; ++k) {
          const float c = coefficient(row, k, sA, sB, sC, u);
          if (c != 0.0f)
            addPartial(r, sine, k, c);
        }
      }
    }
    for (int row = 0; row < kRows; ++row)
      normalise(level + row * kRowLength);
  }
}

const Wavetable& Wavetable::shared() {
  static const Wavetable table;
  return table;
}

int Wavetable::levelForIncrement(float x) noexcept {
  if (!(x > 1.0f))
    return 0;
  const double level = std::ceil(std::log2(static_cast<double>(x)));
  return level >= kMaxLevel ? kMaxLevel : static_cast<int>(level);
}

} // namespace quorvane::dsp
