// Tests of the effects chain: delay line, velvet-noise reverb, and the kernel's output stages.
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>

using quorvane::dsp::QuorvaneDSPKernel, quorvane::dsp::SimpleDelayKernel;
using quorvane::dsp::VelvetEcho, quorvane::dsp::VelvetEchoes, quorvane::dsp::VelvetReverberator;
using P = quorvane::dsp::QuorvaneParameter;

// At 1 kHz the four seconds of memory are 4001 samples, so the run wraps it; the time asked
// for is beyond it and glides from the initial 0.25 s to the longest, 4 s.
TEST(Delay, MatchesModelWhileTheTimeGlidesToItsLongest) {
  SimpleDelayKernel d;
  d.prepare(1000.0);
  d.setDelay(5.0f), d.setFeedback(0.6f);
  const double s = 0.9999f, len = 4001;
  std::vector<double> buf(4001, 0.0);
  std::vector<float> x(30000), y(30000);
  for (int i = 0; i < 30000; ++i) // hashed noise in [-1, 1)
    x[i] = y[i] = float(std::int32_t(std::uint32_t(i) * 2654435761u)) / 2147483648.0f;
  double current = 0.25 * 1000.0;
  for (int done = 0, n = 1, w = 0; done < 30000; done += n, n = n * 5 % 997 + 1) {
    n = std::min(n, 30000 - done);
    d.process(y.data() + done, n);
    for (int i = done; i < done + n; ++i, w = (w + 1) % int(len)) {
      buf[w] = x[i];
      current = (1.0 - s) * 4.0 * 1000.0 + s * current;
      const double r = w - current, i0 = std::floor(r), frac = r - i0;
      const int a = int(i0 - len * std::floor(i0 / len)), b = (a + 1) % int(len);
      x[i] = float((1.0 - frac) * buf[a] + frac * buf[b]);
      buf[w] = float(buf[w] + 0.6 * x[i]);
    }
  }
  for (int i = 0; i < 30000; ++i)
    ASSERT_NEAR(y[i], x[i], 1e-4) << "sample " << i;
}

// A time set before the memory is sized (as a re-allocation does) meets the same clamp: a huge
// one starts at the longest, a NaN at 0, rather than indexing outside the buffer.
TEST(Delay, TimeSetBeforePreparingIsClampedLikeAnyOther) {
  for (const auto& [asked, kept] : {std::pair{1e30f, 4.0f}, {std::nanf(""), 0.0f}}) {
    SimpleDelayKernel d, expected;
    d.setDelay(asked);
    d.prepare(1000.0);
    expected.setDelay(kept);
    expected.prepare(1000.0);
    std::vector<float> x(9000), y(9000);
    for (int i = 0; i < 9000; ++i)
      x[i] = y[i] = float(i % 7) / 7.0f;
    d.process(x.data(), 9000);
    expected.process(y.data(), 9000);
    ASSERT_EQ(x, y) << asked;
  }
}

// A non-finite sample in the delay's or the reverb's memory would recirculate for ever: once it
// comes out, the stage clears itself and is silent again from the next block.
TEST(EffectsStages, DelayAndReverbClearThemselvesOfNonFiniteSamples) {
  SimpleDelayKernel delay;
  delay.prepare(1000.0), delay.setDelay(0.01f), delay.setFeedback(0.6f);
  VelvetEchoes echoes;
  echoes.seed(2, 3), echoes.prepare(1000.0);
  VelvetReverberator reverb;
  reverb.prepare(echoes.loopLength());
  reverb.setFeedback(0.9f);
  for (float poison : {std::nanf(""), std::numeric_limits<float>::infinity()}) {
    std::vector<float> x(64, 0.0f), y(64, 0.0f);
    x[3] = y[3] = poison;
    delay.process(x.data(), 64);
    reverb.process(y.data(), 64, echoes.left());
    for (int block = 0; block < 100; ++block) { // two reverb loops
      x.assign(64, 0.0f), y.assign(64, 0.0f);
      delay.process(x.data(), 64);
      reverb.process(y.data(), 64, echoes.left());
    }
    EXPECT_EQ(x, std::vector<float>(64, 0.0f));
    EXPECT_EQ(y, std::vector<float>(64, 0.0f));
  }
}

// At 22500 Hz the 22.5 samples a millisecond round away from zero, to 23.
TEST(VelvetEchoes, OneTapPerCellAndA60dBFallOverTheReverbTime) {
  for (auto [sr, spacing] : {std::pair{44100.0, 44}, {48000.0, 48}, {22500.0, 23}}) {
    VelvetEchoes e;
    e.seed(2, 3);
    e.prepare(sr);
    ASSERT_EQ(e.loopLength(), spacing * 1000);
    for (const auto* taps : {&e.left(), &e.right()}) {
      ASSERT_EQ(taps->size(), 1000u);
      for (int c = 0; c < 1000; ++c) // one tap in each millisecond cell, 1 ... spacing samples in
        ASSERT_TRUE(unsigned((*taps)[c].position - c * spacing - 1) < unsigned(spacing) &&
                    std::abs((*taps)[c].sign) == 1.0f)
            << c << ": " << (*taps)[c].position << ", " << (*taps)[c].sign;
    }
    e.setReverbTime(2.0f);
    for (const VelvetEcho& t : e.left())
      ASSERT_NEAR(t.amplitude, t.sign * std::pow(0.001, t.position / (2.0 * sr)), 1e-6);
  }
}

// The kernel's delay and reverb against the same stages built here from its formulas, fed what a
// dry twin sends into them (the atanh of its output). The twin is never prepared, so has no delay
// or reverb at all: while Echo and Space are 0 the kernel sounds exactly like it, yet its delay
// records. A call longer than prepared skips both stages, that once.
TEST(EffectsStages, OutputChainFollowsItsParametersAndSkipsDelayAndReverbInOverlongCalls) {
  for (float space : {1.0f, 0.25f}) {
    PreparedKernel wet(44100.0);
    QuorvaneDSPKernel dry;
    wet.setParameter(P::shape, 0.3f), wet.noteOn(57, 100), wet.noteOn(64, 80);
    dry.setParameter(P::shape, 0.3f), dry.noteOn(57, 100), dry.noteOn(64, 80);
    wet.setParameter(P::echoTime, 0.01f);
    SimpleDelayKernel delay;
    delay.prepare(44100.0), delay.setDelay(0.01f);
    VelvetEchoes echoes;
    echoes.seed(2, 3), echoes.prepare(44100.0);
    VelvetReverberator reverb;
    reverb.prepare(44000);                                          // the taps' 1000 cells
    reverb.setDamping(float(1.0 - std::exp(-31415.926 / 44100.0))); // 5 kHz
    float echo = 0.0f, amount = 0.0f;
    for (int call = 0, n; call < 100; ++call) { // past the reverb loop's first return
      if (call == 10)
        wet.setParameter(P::echo, echo = 0.8f), wet.setParameter(P::space, amount = space);
      const double t = 0.5 * std::pow(20.0, double(amount)), w = std::sqrt(double(amount));
      echoes.setReverbTime(float(t));
      reverb.setFeedback(float(std::pow(0.001, 44000 / (t * 44100.0)))); // 60 dB over t
      delay.setFeedback(echo * 0.7f);
      n = call == 50 ? 700 : 512;
      const auto a = render(wet, n, n), b = render(dry, n, n);
      if (call < 10) {
        ASSERT_EQ(a.left, b.left) << "call " << call;
      }
      std::vector<float> x(n), d(n), r(n);
      for (int i = 0; i < n; ++i)
        x[i] = d[i] = std::atanh(b.left[i]);
      if (n == 512) {
        delay.process(d.data(), n);
        for (int i = 0; i < n; ++i)
          r[i] = x[i] += echo * 0.7f * d[i];
        reverb.process(r.data(), n, echoes.left());
        for (int i = 0; i < n; ++i)
          x[i] = float((1 - w) * x[i] + w * r[i]);
      }
      for (int i = 0; i < n; ++i)
        ASSERT_NEAR(a.left[i], std::tanh(x[i]), 2e-6) << space << ", call " << call << ": " << i;
    }
  }
}
