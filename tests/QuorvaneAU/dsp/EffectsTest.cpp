// Tests of the effects chain: delay line, velvet-noise reverb, saturator and their stages.
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>

using signal_tools::render;

namespace {

// Independent model of one reverberator channel.
struct ReverbModel {
  std::vector<float> buf;
  int readPos = 0, fbPos;
  float fb, c, state = 0.0f;
  ReverbModel(int loop, float feedback, float damping)
      : buf(2 * loop, 0.0f), fbPos(loop), fb(feedback), c(damping) {}
  void block(float* x, int n, const std::vector<VelvetEcho>& taps) {
    const int size = int(buf.size());
    for (const VelvetEcho& t : taps)
      for (int j = 0; j < n; ++j)
        buf[(readPos + t.position + j) % size] += t.amplitude * 0.09f * x[j];
    for (int j = 0; j < n; ++j, readPos = (readPos + 1) % size, fbPos = (fbPos + 1) % size) {
      x[j] = buf[readPos], buf[readPos] = 0.0f;
      state = (1.0f - c) * state + c * x[j];
      buf[fbPos] += fb * state;
    }
  }
};

std::vector<float> noise(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> d(-1.0f, 1.0f);
  std::vector<float> x(n);
  for (float& v : x)
    v = d(rng);
  return x;
}

// Two held notes through a kernel with fixed seeds, dry unless the caller turns effects on.
void start(QuorvaneDSPKernel& k, bool prepare = true) {
  k.seed(5, 6, 7);
  if (prepare)
    k.prepare(512, 44100.0);
  k.setParameter(0, 0.3f);
  k.noteOn(57, 100), k.noteOn(64, 80);
}

} // namespace

TEST(Delay, MatchesModelWhileTheTimeGlides) {
  SimpleDelayKernel d;
  d.setSampleRate(48000.0);
  ASSERT_EQ(d.bufferLength, 192001); // four seconds and one sample
  d.targetDelay = 0.0123, d.feedback = 0.6f;
  const double s = 0.9999f, len = 192001;
  std::vector<double> buf(192001, 0.0);
  auto x = noise(30000, 1), y = x;
  double current = 0.25 * 48000.0; // glides from the initial 0.25 s
  for (int done = 0, n = 1, w = 0; done < 30000; done += n, n = n * 5 % 997 + 1) {
    n = std::min(n, 30000 - done);
    d.process(y.data() + done, n);
    for (int i = done; i < done + n; ++i, w = (w + 1) % int(len)) {
      buf[w] = x[i];
      current = (1.0 - s) * 0.0123 * 48000.0 + s * current;
      const double r = w - current, i0 = std::floor(r), frac = r - i0;
      const int a = int(i0 - len * std::floor(i0 / len)), b = (a + 1) % int(len);
      x[i] = float((1.0 - frac) * buf[a] + frac * buf[b]);
      buf[w] = float(buf[w] + 0.6 * x[i]);
    }
    ASSERT_NEAR(d.currentDelay, current / 48000.0, 1e-9);
  }
  for (int i = 0; i < 30000; ++i)
    ASSERT_NEAR(y[i], x[i], 1e-4) << "sample " << i;
}

TEST(VelvetEchoes, GeometryAndPatternsFollowTheSeededGenerator) {
  for (auto [sr, spacing] : {std::pair{44100.0, 44}, {48000.0, 48}, {22500.0, 23}}) {
    VelvetEchoes e;
    e.rngL = 0x12345678u, e.rngR = 0xFFFFFFFFu;
    e.setSampleRate(sr);
    ASSERT_EQ(e.spacing, spacing);
    EXPECT_EQ(e.loopLength, spacing * 1000);
    EXPECT_EQ(e.lastKnownTime, -1.0f);
    std::uint32_t s[2] = {0x12345678u, 0xFFFFFFFFu};
    for (int side = 0; side < 2; ++side) {
      const auto& taps = side ? e.right : e.left;
      ASSERT_EQ(taps.size(), 1000u);
      for (int k = 0; k < 1000; ++k) {
        s[side] = s[side] * 1664525u + 1013904223u;
        const int jitter = int(float(s[side]) / 4294967296.0f * float(spacing));
        s[side] = s[side] * 1664525u + 1013904223u;
        // One tap in each one-millisecond cell, 1 ... spacing samples in.
        ASSERT_EQ(taps[k].position, k * spacing + std::min(spacing, jitter + 1)) << k;
        ASSERT_EQ(taps[k].sign, std::int32_t(s[side]) < 0 ? 1.0f : -1.0f) << k;
        ASSERT_EQ(taps[k].amplitude, 0.0f);
      }
    }
    EXPECT_EQ(e.rngL, s[0]); // the generators run on: the next call draws new patterns
    EXPECT_EQ(e.rngR, s[1]);
    e.update(2.0f);
    for (const VelvetEcho& t : e.left)
      ASSERT_NEAR(t.amplitude, t.sign * std::pow(0.001, t.position / (2.0 * sr)), 1e-6);
  }
}

TEST(VelvetReverberator, MatchesModelThroughTheDampedLoop) {
  VelvetReverberator r;
  r.configure(64);
  EXPECT_EQ(r.bufferSize, 128);
  r.feedback = 0.8f, r.dampingCoef = 0.3f;
  const std::vector<VelvetEcho> taps = {{1, 1.0f, 0.9f}, {17, -1.0f, -0.5f}, {64, 1.0f, 0.25f}};
  ReverbModel m(64, 0.8f, 0.3f);
  auto x = noise(3000, 3), y = x;
  for (int done = 0, n = 1; done < 3000; done += n, n = n * 7 % 61 + 1) {
    n = std::min(n, 3000 - done);
    r.process(y.data() + done, n, taps);
    m.block(x.data() + done, n, taps);
  }
  for (int i = 0; i < 3000; ++i)
    ASSERT_NEAR(y[i], x[i], 1e-5) << "sample " << i;
}

TEST(EffectsStages, ZeroAmountsPassDryAudioAndAnUnpreparedKernelRendersDry) {
  QuorvaneDSPKernel wet, dry;
  start(wet);
  start(dry, false); // never prepared: no delay or reverb memory at all
  for (auto* k : {&wet, &dry})
    k->setParameter(18, 0.3f), k->setParameter(10, 2.0f);
  const auto a = render(wet, 2048), b = render(dry, 2048);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
  EXPECT_GT(signal_tools::rms(b.left.data(), 2048), 0.01);
  EXPECT_EQ(wet.delayL.writePos, 2048); // the delay lines still record at Echo 0
}

TEST(EffectsStages, ReverbStageMatchesModelAtFullAndPartialSpace) {
  for (float space : {1.0f, 0.25f}) {
    QuorvaneDSPKernel wet, dry;
    start(wet), start(dry);
    wet.setParameter(20, space);
    const auto a = render(wet, 2048), b = render(dry, 2048);
    const double t = 0.5 * std::pow(20.0, double(space)), w = std::sqrt(double(space));
    auto taps = wet.velvetEchoes.left;
    for (VelvetEcho& e : taps)
      e.amplitude = float(e.sign * std::pow(0.001, e.position / (t * 44100.0)));
    ReverbModel m(44100, 0.0f, 1.0f); // the loop does not come round within 2048 samples
    std::vector<float> x(2048), wetSignal(2048);
    for (int i = 0; i < 2048; ++i)
      x[i] = wetSignal[i] = std::atanh(b.left[i]); // the driven signal before the saturator
    for (int i = 0; i < 2048; i += 512)
      m.block(wetSignal.data() + i, 512, taps);
    for (int i = 0; i < 2048; ++i)
      ASSERT_NEAR(a.left[i], std::tanh((1.0 - w) * x[i] + w * wetSignal[i]), 2e-6)
          << "space " << space << " frame " << i;
  }
}

TEST(EffectsStages, PrepareSizesTheChainAndEchoTimeIsHeldToTheBuffer) {
  QuorvaneDSPKernel k;
  k.prepare(512, 48000.0);
  EXPECT_EQ(k.reverbL.bufferSize, 96000);
  EXPECT_EQ(k.reverbR.loopLength, 48000);
  EXPECT_NEAR(k.reverbL.dampingCoef, 1.0 - std::exp(-31415.926 / 48000.0), 1e-7);
  EXPECT_EQ(k.delayScratchL.size(), 512u);
  k.setParameter(14, 1.0f);
  k.setParameter(18, 10.0f);
  render(k, 512);
  EXPECT_NEAR(k.delayL.targetDelay, 4.0, 1e-9);
  EXPECT_NEAR(k.delayR.feedback, 0.7f, 1e-7);
}

TEST(EffectsStages, OverlongBlockSkipsDelayAndReverbForThatCallOnly) {
  QuorvaneDSPKernel wet, dry;
  start(wet), start(dry);
  wet.setParameter(14, 0.8f), wet.setParameter(18, 0.01f), wet.setParameter(20, 0.7f);
  render(wet, 1024), render(dry, 1024);
  const int writePos = wet.delayL.writePos, readPos = wet.reverbL.readPos;
  EXPECT_EQ(render(wet, 700, 700).left, render(dry, 700, 700).left);
  EXPECT_EQ(wet.delayL.writePos, writePos);
  EXPECT_EQ(wet.reverbL.readPos, readPos);
  EXPECT_NE(render(wet, 512).left, render(dry, 512).left);
  EXPECT_EQ(wet.delayL.writePos, writePos + 512); // and their history is still there
  EXPECT_EQ(wet.reverbL.readPos, readPos + 512);
}

TEST(Saturator, NonFiniteSamplesLeaveAsZero) {
  for (float drive : {std::numeric_limits<float>::infinity(), std::nanf("")}) {
    QuorvaneDSPKernel k;
    start(k);
    k.setParameter(10, drive);
    const auto out = render(k, 1024);
    for (int i = 0; i < 1024; ++i)
      ASSERT_TRUE(out.left[i] == 0.0f && out.right[i] == 0.0f) << drive << " frame " << i;
  }
}
