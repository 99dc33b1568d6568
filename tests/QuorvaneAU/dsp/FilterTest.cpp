// Tests of the biquad filter and of how the kernel sets it: coefficients, responses, limits.
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>

using quorvane::dsp::IIRKernel;
using P = quorvane::dsp::QuorvaneParameter;

namespace {

enum Type { lowPass, bandPass, highPass };

// The published cookbook biquads in double, normalised: b0, b1, b2, a1, a2.
std::array<double, 5> cookbook(Type type, double cutoff, double q, double sr) {
  const double w0 = 2.0 * std::numbers::pi * std::min(cutoff, 0.45 * sr) / sr;
  const double cw = std::cos(w0), alpha = std::sin(w0) / (2.0 * q), a0 = 1.0 + alpha;
  const double a1 = -2.0 * cw / a0, a2 = (1.0 - alpha) / a0;
  if (type == lowPass)
    return {(1 - cw) / 2 / a0, (1 - cw) / a0, (1 - cw) / 2 / a0, a1, a2};
  if (type == bandPass)
    return {q * alpha / a0, 0.0, -q * alpha / a0, a1, a2};
  return {(1 + cw) / 2 / a0, -(1 + cw) / a0, (1 + cw) / 2 / a0, a1, a2};
}

// Steady-state gain for a sine at freq, at 48 kHz: the RMS over whole periods, in three blocks.
double gainAt(IIRKernel& f, double freq) {
  std::vector<float> x(48000);
  for (std::size_t i = 0; i < x.size(); ++i)
    x[i] = float(std::sin(2.0 * std::numbers::pi * freq * double(i) / 48000.0));
  for (int i = 0; i < 48000; i += 16000)
    f.process(x.data() + i, 16000);
  f.reset();
  double energy = 0.0;
  for (std::size_t i = 24000; i < x.size(); ++i)
    energy += double(x[i]) * x[i];
  return std::sqrt(energy / 12000.0);
}

} // namespace

TEST(Biquad, GainsCapacityAndRecoveryFromNonFiniteInput) {
  IIRKernel f;
  f.prepare(48000.0);
  f.setLowPass(1000.0, 0.707);
  EXPECT_NEAR(gainAt(f, 1000.0), 0.707, 0.002); // −3 dB
  EXPECT_NEAR(gainAt(f, 100.0), 1.0, 0.002);
  f.setBandPass(1000.0, 8.0); // Resonance 1: peak gain 8
  EXPECT_NEAR(gainAt(f, 1000.0), 8.0, 0.02);
  f.setLowPass(20.0, 0.707);
  std::vector<float> x(20000);
  for (int i = 0; i < 20000; ++i)
    x[i] = i % 2 ? 1.0f : -1.0f; // Nyquist, which a 20 Hz low-pass removes
  f.process(x.data(), 20000);
  EXPECT_LT(std::abs(x[16383]), 0.01f);
  for (int i = 16384; i < 20000; ++i) // only the first 16384 frames are filtered
    ASSERT_EQ(x[i], i % 2 ? 1.0f : -1.0f) << "frame " << i;
  x.assign(64, 0.0f);
  x[62] = std::numeric_limits<float>::quiet_NaN(); // poisons both carried outputs
  f.process(x.data(), 64);
  x.assign(64, 0.0f);
  f.process(x.data(), 64); // the next block starts from silence
  EXPECT_EQ(x, std::vector<float>(64, 0.0f));
}

// Pressures reach the filter smoothed, so each case renders until they have settled; the
// released note's pressure stays on its voice after it ends, where it must not count.
TEST(KernelFilter, CutoffQAndTypeFollowParametersAndPressure) {
  // Rate, Frequency, Depth, Resonance, Type, channel and key pressure; type, cutoff and Q.
  const double cases[][10] = {
      {44100, 0.0, 1.0, 0.0, 0.0, 1.0, 0.0, lowPass, 19845.0, 0.707}, // 0.45 × rate
      {48000, 0.5, 0.0, 1.0, 1.7, 0.0, 0.0, bandPass, 632.45553, 8.0},
      {48000, 0.25, 0.0, 0.5, 2.0, 0.0, 0.0, highPass, 112.46827, 0.707 * 3.3638396},
      {48000, 0.9, 1.0, 2.0, 0.0, 1.0, 0.0, lowPass, 20000.0, 8.0},     // x, r clamped to 1
      {48000, 0.0, 1.0, 0.0, 0.0, 0.2, 0.5, lowPass, 632.45553, 0.707}, // key pressure
      {48000, 1.0, 0.0, 0.0, 0.9, 0.0, 0.0, lowPass, 20000.0, 0.707},   // truncated: LP
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    PreparedKernel k(c[0]);
    k.setParameter(P::frequency, float(c[1])), k.setParameter(P::aftertouchDepth, float(c[2]));
    k.setParameter(P::resonance, float(c[3])), k.setParameter(P::filterType, float(c[4]));
    k.setParameter(P::filterRolloff, 1.0f), k.setParameter(P::release, 0.001f);
    k.setChannelPressure(float(c[5]));
    k.noteOn(60, 100), k.noteOn(61, 100);
    k.setPolyPressure(60, float(c[6])), k.setPolyPressure(61, 1.0f);
    render(k, 16384, 16384);
    k.noteOff(61);
    render(k, 3 * 16384, 16384);
    const auto ref = cookbook(Type(c[7]), c[8], c[9], c[0]);
    for (const auto& coefficients : k.snapshot().filterCoefficients)
      for (int i = 0; i < 5; ++i)
        ASSERT_NEAR(coefficients[i], ref[i], 1e-6 * std::abs(ref[i]) + 1e-9) << "c" << i;
  }
}

// History the second stage kept from an earlier 24 dB stretch must not sound when it returns:
// then the kernel renders as one that never had it.
TEST(KernelFilter, CascadeStartsFromSilence) {
  PreparedKernel k(48000.0), fresh(48000.0);
  k.setParameter(P::resonance, 0.8f), k.noteOn(48, 127), k.setParameter(P::filterRolloff, 1.0f);
  fresh.setParameter(P::resonance, 0.8f), fresh.noteOn(48, 127);
  EXPECT_NE(render(k, 1024).left, render(fresh, 1024).left);
  k.setParameter(P::filterRolloff, 0.0f);
  EXPECT_EQ(render(k, 1024).left, render(fresh, 1024).left);
  k.setParameter(P::filterRolloff, 1.0f), fresh.setParameter(P::filterRolloff, 1.0f);
  EXPECT_EQ(render(k, 1024).left, render(fresh, 1024).left);
}
