// Tests of the modulation sources: envelope, pressure smoothing, LFO, drift and tuning.
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "SignalTools.h"

#include <gtest/gtest.h>

using signal_tools::render;

namespace {

// Independent single-precision model of one voice's envelope, stepped like the kernel.
struct EnvelopeModel {
  Stage stage = Stage::attack;
  float level = 0.0f, releaseStart = 0.0f;
  void block(int n, float a, float d, float s, float r, float sr) {
    const float attackInc = 1.0f / (a * sr), decayDec = (1.0f - s) / (d * sr);
    const float releaseDec = releaseStart / (r * sr);
    for (int j = 0; j < n; ++j)
      if (stage == Stage::attack && (level += attackInc) >= 1.0f)
        level = 1.0f, stage = Stage::decay;
      else if (stage == Stage::decay && (level -= decayDec) <= s)
        level = s, stage = Stage::sustain;
      else if (stage == Stage::sustain)
        level = s;
      else if (stage == Stage::release && (level -= releaseDec) <= 0.0f)
        level = 0.0f, stage = Stage::off;
  }
};

} // namespace

TEST(Envelope, FastAttackReachesOneOnThe49thSample) {
  QuorvaneDSPKernel k;
  k.prepare(512, 48000.0);
  k.setParameter(3, 0.001f);
  k.noteOn(60, 100);
  render(k, 48);
  EXPECT_EQ(k.voices[0].stage, Stage::attack);
  render(k, 1);
  EXPECT_EQ(k.voices[0].stage, Stage::decay);
  EXPECT_EQ(k.voices[0].level, 1.0f);
}

// Random times, block sizes and live changes of Sustain and Release (raised above a decaying
// voice, shortened during a release) against the model.
TEST(Envelope, RandomRunsWithLiveChangesMatchModel) {
  std::mt19937 rng(signal_tools::testSeed("Envelope.RandomRunsWithLiveChangesMatchModel"));
  std::uniform_real_distribution<float> time(0.001f, 0.05f), unit(0.0f, 1.0f);
  for (int run = 0; run < 40; ++run) {
    QuorvaneDSPKernel k;
    k.prepare(700, run % 2 ? 44100.0 : 48000.0);
    float p[4] = {time(rng), time(rng), unit(rng), time(rng)}; // attack, decay, sustain, release
    EnvelopeModel m;
    k.noteOn(64, 90);
    const int offAt = std::uniform_int_distribution<int>(0, 6000)(rng);
    for (int t = 0; t < 9000;) {
      if (rng() % 4 == 0) // Sustain or Release moves between blocks
        p[2 + rng() % 2] = rng() % 2 ? unit(rng) : time(rng) * 10.0f;
      for (int a = 0; a < 4; ++a)
        k.setParameter(3 + a, p[a]);
      if (t >= offAt && m.stage != Stage::release && m.stage != Stage::off) {
        k.noteOff(64);
        m.releaseStart = m.level, m.stage = Stage::release;
      }
      const int n = std::uniform_int_distribution<int>(1, 700)(rng);
      render(k, n, n);
      m.block(n, p[0], p[1], p[2], p[3], float(k.sampleRate));
      t += n;
      ASSERT_EQ(k.voices[0].stage, m.stage) << "run " << run << " frame " << t;
      ASSERT_NEAR(k.voices[0].level, m.level, 1e-5) << "run " << run << " frame " << t;
    }
  }
}

TEST(Pressure, ReachesSixtyThreePercentAfter30msWhateverTheBlockSize) {
  for (int block : {1, 7, 64, 480, 1440}) {
    QuorvaneDSPKernel k;
    k.prepare(2048, 48000.0);
    k.noteOn(60, 100);
    k.setChannelPressure(1.0f);
    k.setPolyPressure(60, 1.0f);
    render(k, 1440, block);
    EXPECT_NEAR(k.channelPressure, 1.0 - std::exp(-1.0), 2e-4) << "block " << block;
    EXPECT_NEAR(k.voices[0].aftertouch, 1.0 - std::exp(-1.0), 2e-4) << "block " << block;
  }
}

TEST(Lfo, StepsOncePerBlockAndStaysInOneTurn) {
  QuorvaneDSPKernel k;
  k.prepare(16384, 48000.0);
  render(k, 512);
  EXPECT_NEAR(k.lfoPhase, 0.0670206f, 1e-6); // 1 Hz, 512 frames at 48 kHz
  EXPECT_NEAR(k.lfoValue120, std::sin(0.0670206f + 2.094395f), 1e-6);
  EXPECT_NEAR(k.lfoValue240, std::sin(0.0670206f + 4.18879f), 1e-6);
  k.setParameter(7, 20.0f); // 42.9 rad per 16384-frame block: several turns in one step
  for (int i = 0; i < 5; ++i) {
    render(k, 16384, 16384);
    EXPECT_TRUE(k.lfoPhase >= 0.0f && k.lfoPhase < 6.283185f) << k.lfoPhase;
    EXPECT_NEAR(k.lfoValue, std::sin(k.lfoPhase), 1e-6);
  }
}

TEST(Drift, WalkFollowsTheSeededGeneratorOncePerCall) {
  QuorvaneDSPKernel k;
  k.seed(12345, 1, 2);
  k.prepare(512, 48000.0);
  k.reset(); // the generator keeps running across resets
  EXPECT_EQ(k.rngState, 12345u);
  std::uint32_t s = 12345;
  double value = 0.0;
  for (int call = 0; call < 50; ++call) {
    render(k, call % 3 * 200 + 1, 512);
    const double x1 = (s = s * 1664525u + 1013904223u) / 4294967296.0;
    const double x2 = (s = s * 1664525u + 1013904223u) / 4294967296.0;
    value = 0.5 * value +
            0.70710677 * std::sqrt(-2.0 * std::log(std::max(x1, 1e-7))) * std::cos(6.283185 * x2);
    ASSERT_EQ(k.rngState, s) << "call " << call;
    ASSERT_NEAR(k.driftValue, value, 1e-4) << "call " << call;
  }
}

TEST(Tuning, EqualTemperamentWithoutDriftAndCentsWithIt) {
  for (double sr : {44100.0, 48000.0, 96000.0}) {
    QuorvaneDSPKernel k;
    k.prepare(512, sr);
    k.driftValue = 1.5f; // ignored at Drift 0
    for (int note = 0; note < 128; ++note) {
      k.noteOn(std::uint8_t(note), 100);
      const Voice& v = k.voices[note % 16];
      const float inc = float(std::exp2((note - 69) / 12.0) * 440.0 / sr) * 2048.0f;
      ASSERT_EQ(v.basePhaseInc, inc) << "note " << note << " at " << sr;
      ASSERT_EQ(v.mipLevel, Wavetable::levelForIncrement(inc * 1.122462f)) << "note " << note;
    }
  }
  QuorvaneDSPKernel k;
  k.setParameter(13, 0.5f);
  k.driftValue = 1.2f; // 0.5 × 1.2 × 25 = 15 cents sharp
  k.noteOn(69, 100);
  EXPECT_NEAR(k.voices[0].basePhaseInc / (440.0 / 44100.0 * 2048.0), std::exp2(0.0125), 1e-6);
}
