// Tests of the effects chain: delay line, velvet-noise reverb, saturator and their stages.
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Two held notes, dry unless the caller turns effects on.
void start(QuorvaneDSPKernel& k) {
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
  std::vector<float> x(30000), y(30000);
  for (int i = 0; i < 30000; ++i) // hashed noise in [-1, 1)
    x[i] = y[i] = float(std::int32_t(std::uint32_t(i) * 2654435761u)) / 2147483648.0f;
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

// At 22500 Hz the 22.5 samples a millisecond round away from zero, to 23.
TEST(VelvetEchoes, PrepareLaysOutOneTapPerCellAndSizesTheLoops) {
  for (auto [sr, spacing] : {std::pair{44100.0, 44}, {48000.0, 48}, {22500.0, 23}}) {
    PreparedKernel k(sr);
    VelvetEchoes& e = k.velvetEchoes;
    ASSERT_EQ(e.spacing, spacing);
    EXPECT_TRUE(k.reverbL.loopLength == spacing * 1000 && k.reverbR.bufferSize == spacing * 2000);
    EXPECT_NEAR(k.reverbL.dampingCoef, 1.0 - std::exp(-31415.926 / sr), 1e-7);
    for (const auto* taps : {&e.left, &e.right}) {
      ASSERT_EQ(taps->size(), 1000u);
      for (int c = 0; c < 1000; ++c) // one tap in each millisecond cell, 1 ... spacing samples in
        ASSERT_TRUE(unsigned((*taps)[c].position - c * spacing - 1) < unsigned(spacing) &&
                    std::abs((*taps)[c].sign) == 1.0f)
            << c << ": " << (*taps)[c].position << ", " << (*taps)[c].sign;
    }
    e.update(2.0f); // a 60 dB fall over two seconds
    for (const VelvetEcho& t : e.left)
      ASSERT_NEAR(t.amplitude, t.sign * std::pow(0.001, t.position / (2.0 * sr)), 1e-6);
  }
}

TEST(EffectsStages, ZeroAmountsPassDryAudioAndAnUnpreparedKernelRendersDry) {
  PreparedKernel wet(44100.0);
  QuorvaneDSPKernel dry; // never prepared: no delay or reverb memory at all
  start(wet), start(dry);
  wet.setParameter(18, 0.3f), wet.setParameter(10, 2.0f); // an Echo Time and Drive, at Echo 0
  dry.setParameter(18, 0.3f), dry.setParameter(10, 2.0f);
  const auto a = render(wet, 2048), b = render(dry, 2048);
  EXPECT_TRUE(a.left == b.left && a.right == b.right);
  EXPECT_GT(*std::max_element(b.left.begin(), b.left.end()), 0.01f);
  EXPECT_EQ(wet.delayL.writePos, 2048); // the delay lines still record at Echo 0
}

// The scratch buffers hold the reverb's output for the last block; Space mixes by its root.
TEST(EffectsStages, SpaceOneIsFullyWetAndPartialSpaceMixesByItsRoot) {
  for (float space : {1.0f, 0.25f}) {
    PreparedKernel wet(44100.0), dry(44100.0);
    start(wet), start(dry);
    wet.setParameter(20, space);
    render(wet, 1536), render(dry, 1536);
    const auto a = render(wet, 512), b = render(dry, 512);
    const double t = 0.5 * std::pow(20.0, double(space)), w = std::sqrt(double(space));
    EXPECT_NEAR(wet.velvetEchoes.lastKnownTime, t, 1e-5);
    EXPECT_NEAR(wet.reverbR.feedback, std::pow(0.001, 44000 / (t * 44100.0)), 1e-6);
    EXPECT_GT(*std::max_element(wet.delayScratchL.begin(), wet.delayScratchL.end()), 1e-3f);
    for (int i = 0; i < 512; ++i) // the dry signal entered the saturator as atanh(b)
      ASSERT_NEAR(a.left[i], std::tanh((1 - w) * std::atanh(b.left[i]) + w * wet.delayScratchL[i]),
                  2e-6)
          << "space " << space << " frame " << i;
  }
}

TEST(EffectsStages, OverlongBlockSkipsDelayAndReverbForThatCallOnly) {
  PreparedKernel wet(44100.0), dry(44100.0);
  start(wet), start(dry);
  wet.setParameter(14, 0.8f), wet.setParameter(18, 0.01f), wet.setParameter(20, 0.7f);
  render(wet, 1024), render(dry, 1024);
  EXPECT_FLOAT_EQ(wet.delayL.feedback, 0.56f); // Echo × 0.7
  const int writePos = wet.delayL.writePos, readPos = wet.reverbL.readPos;
  EXPECT_EQ(render(wet, 700, 700).left, render(dry, 700, 700).left);
  EXPECT_TRUE(wet.delayL.writePos == writePos && wet.reverbL.readPos == readPos);
  EXPECT_NE(render(wet, 512).left, render(dry, 512).left); // and their history is still there
  EXPECT_TRUE(wet.delayL.writePos == writePos + 512 && wet.reverbL.readPos == readPos + 512);
}

TEST(Saturator, NonFiniteSamplesLeaveAsZero) {
  for (float drive : {std::numeric_limits<float>::infinity(), std::nanf("")}) {
    PreparedKernel k(44100.0);
    start(k);
    k.setParameter(10, drive);
    const auto out = render(k, 1024);
    for (int i = 0; i < 1024; ++i)
      ASSERT_TRUE(out.left[i] == 0.0f && out.right[i] == 0.0f) << drive << " frame " << i;
  }
}
