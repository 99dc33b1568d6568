// Helpers shared by the engine's tests: spectrum, full-chain settings, rendering and seeds.
#pragma once

#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

// Bin magnitudes 0 ... n/2 of x[0 ... n-1] (n a power of two), Blackman-Harris windowed unless
// the signal is exactly periodic in n.
inline std::vector<double> spectrum(const float* x, std::size_t n, bool window = true) {
  std::vector<std::complex<double>> a(n);
  for (std::size_t i = 0, j = 0, bit = 0; i < n; ++i, j ^= bit) { // bit-reversed load
    const double t = 2.0 * std::numbers::pi * double(i) / double(n);
    a[j] = x[i] * (window ? 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) -
                                0.01168 * std::cos(3 * t)
                          : 1.0);
    for (bit = n >> 1; j & bit; bit >>= 1)
      j ^= bit;
  }
  for (std::size_t len = 2; len <= n; len <<= 1)
    for (std::size_t i = 0; i < n; i += len)
      for (std::size_t k = 0; k < len / 2; ++k) {
        const auto v = a[i + k + len / 2] * std::polar(1.0, -2.0 * std::numbers::pi * k / len);
        a[i + k + len / 2] = a[i + k] - v;
        a[i + k] += v;
      }
  std::vector<double> mag(n / 2 + 1);
  for (std::size_t i = 0; i < mag.size(); ++i)
    mag[i] = std::abs(a[i]);
  return mag;
}

// A kernel seeded (fixed seeds unless given: runs repeat) and prepared for blocks of up to
// maxFrames; seeding comes first because prepare draws the reverb patterns.
struct PreparedKernel : quorvane::dsp::QuorvaneDSPKernel {
  explicit PreparedKernel(double sr, int maxFrames = 512,
                          std::array<std::uint64_t, 3> seeds = {1, 2, 3}) {
    seed(std::uint32_t(seeds[0]), std::uint32_t(seeds[1]), std::uint32_t(seeds[2]));
    prepare(maxFrames, sr);
  }
};

// Every stage of the chain and every modulation on, at moderate settings.
inline void applyFullChain(quorvane::dsp::QuorvaneDSPKernel& kernel) {
  using P = quorvane::dsp::QuorvaneParameter;
  constexpr std::pair<P, float> settings[] = {{P::detuneSpread, 0.5f},  {P::rowSpread, 0.5f},
                                              {P::motion, 0.5f},        {P::spacetime, 0.5f},
                                              {P::drive, 2.0f},         {P::resonance, 0.5f},
                                              {P::drift, 1.0f},         {P::echo, 0.5f},
                                              {P::filterRolloff, 1.0f}, {P::aftertouchDepth, 0.5f},
                                              {P::echoTime, 0.1f},      {P::boost, 1.0f},
                                              {P::space, 0.5f}};
  for (auto [parameter, value] : settings)
    kernel.setParameter(parameter, value);
}

struct Stereo {
  std::vector<float> left, right;
};

// Renders total frames in calls of blockSize frames.
inline Stereo render(quorvane::dsp::QuorvaneDSPKernel& kernel, int total, int blockSize = 512) {
  Stereo out{std::vector<float>(total), std::vector<float>(total)};
  for (int done = 0, n; done < total; done += n) {
    n = std::min(blockSize, total - done);
    kernel.renderFrames(out.left.data() + done, out.right.data() + done, n);
  }
  return out;
}

// Seed of a randomised case: QUORVANE_TEST_SEED replays a failure; printed either way.
inline std::uint32_t testSeed(const char* test) {
  const char* fixed = std::getenv("QUORVANE_TEST_SEED");
  const std::uint32_t seed =
      fixed ? std::uint32_t(std::strtoul(fixed, nullptr, 10)) : std::random_device{}();
  std::printf("[ seed     ] %s: QUORVANE_TEST_SEED=%u\n", test, seed);
  return seed;
}
