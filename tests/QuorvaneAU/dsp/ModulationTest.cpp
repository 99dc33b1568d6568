// Tests of the modulation sources: envelope, pressure smoothing, LFO and tuning.
#include "SignalTools.h"

#include <gtest/gtest.h>

using quorvane::dsp::Stage, quorvane::dsp::Voice;
using P = quorvane::dsp::QuorvaneParameter;

// Random times and block sizes, and live changes of Sustain and Release (raised above a decaying
// voice, shortened during a release), against a single-precision model stepped like the kernel.
TEST(Envelope, RandomRunsWithLiveChangesMatchModel) {
  std::mt19937 rng(testSeed("Envelope.RandomRunsWithLiveChangesMatchModel"));
  std::uniform_real_distribution<float> time(0.001f, 0.05f), unit(0.0f, 1.0f);
  for (int run = 0; run < 40; ++run) {
    PreparedKernel k(run % 2 ? 44100.0 : 48000.0, 700);
    const float sr = run % 2 ? 44100.0f : 48000.0f;
    float p[4] = {time(rng), time(rng), unit(rng), time(rng)}; // attack, decay, sustain, release
    Stage stage = Stage::attack;
    float level = 0.0f, releaseStart = 0.0f;
    k.noteOn(64, 90);
    const int offAt = std::uniform_int_distribution<int>(0, 6000)(rng);
    for (int t = 0, n; t < 9000; t += n) {
      if (rng() % 4 == 0) // Sustain or Release moves between blocks
        p[2 + rng() % 2] = rng() % 2 ? unit(rng) : time(rng) * 10.0f;
      // Held to the ranges, as the kernel holds them (a release drawn below 1 ms plays 1 ms).
      for (int a = 0; P parameter : {P::attack, P::decay, P::sustain, P::release}) {
        p[a] = foundation::withinRange(quorvane::dsp::rowOf(parameter), p[a]);
        k.setParameter(parameter, p[a++]);
      }
      if (t >= offAt && stage != Stage::release && stage != Stage::off)
        k.noteOff(64), releaseStart = level, stage = Stage::release;
      n = std::uniform_int_distribution<int>(1, 700)(rng);
      render(k, n, n);
      const float up = 1.0f / (p[0] * sr), down = (1.0f - p[2]) / (p[1] * sr);
      for (int j = 0; j < n; ++j)
        if (stage == Stage::attack && (level += up) >= 1.0f)
          level = 1.0f, stage = Stage::decay;
        else if (stage == Stage::decay && (level -= down) <= p[2])
          level = p[2], stage = Stage::sustain;
        else if (stage == Stage::sustain)
          level = p[2];
        else if (stage == Stage::release && (level -= releaseStart / (p[3] * sr)) <= 0.0f)
          level = 0.0f, stage = Stage::off;
      const Voice v = k.snapshot().voices[0];
      ASSERT_EQ(v.stage, stage) << "run " << run << " frame " << t;
      ASSERT_NEAR(v.level, level, 1e-5) << "run " << run << " frame " << t;
    }
  }
}

// Both step once per block: the pressures by a 30 ms one-pole, whatever the block size, and the
// LFO by its rate, kept within one turn.
TEST(BlockModulation, PressuresReach63PercentIn30msAndTheLfoTurns) {
  for (int block : {1, 7, 64, 480, 1440}) {
    PreparedKernel k(48000.0, 2048);
    k.noteOn(60, 100);
    k.setChannelPressure(1.0f), k.setPolyPressure(60, 1.0f);
    render(k, 1440, block);
    const auto s = k.snapshot();
    EXPECT_NEAR(s.channelPressure, 1.0 - std::exp(-1.0), 2e-4) << "block " << block;
    EXPECT_NEAR(s.voices[0].aftertouch, 1.0 - std::exp(-1.0), 2e-4) << "block " << block;
  }
  PreparedKernel k(48000.0, 16384);
  render(k, 512);
  auto s = k.snapshot();
  EXPECT_NEAR(s.lfoPhase, 0.0670206f, 1e-6); // 1 Hz, 512 frames at 48 kHz
  EXPECT_NEAR(s.lfo120, std::sin(0.0670206f + 2.094395f), 1e-6);
  EXPECT_NEAR(s.lfo240, std::sin(0.0670206f + 4.18879f), 1e-6);
  k.setParameter(P::rate, 20.0f); // 42.9 rad per 16384-frame block: several turns in one step
  for (int i = 0; i < 5; ++i) {
    render(k, 16384, 16384);
    s = k.snapshot();
    EXPECT_TRUE(s.lfoPhase >= 0.0f && s.lfoPhase < 6.283185f) << s.lfoPhase;
    EXPECT_NEAR(s.lfo, std::sin(s.lfoPhase), 1e-6);
  }
}

// The drift walk steps once per block; at Drift 0 it must not detune.
TEST(Tuning, EqualTemperamentWithoutDriftAndCentsWithIt) {
  for (double sr : {44100.0, 48000.0, 96000.0}) {
    PreparedKernel k(sr);
    render(k, 64);
    ASSERT_NE(k.snapshot().drift, 0.0f);
    for (int note = 0; note < 128; ++note) {
      k.noteOn(std::uint8_t(note), 100);
      const Voice v = k.snapshot().voices[note % 16];
      const float inc = float(std::exp2((note - 69) / 12.0) * 440.0 / sr) * 2048.0f;
      ASSERT_EQ(v.basePhaseInc, inc) << "note " << note << " at " << sr;
    }
    k.setParameter(P::drift, 0.5f); // 0.5 × walk × 25 cents
    const double cents = 0.5 * k.snapshot().drift * 25.0;
    k.noteOn(69, 100);
    EXPECT_NEAR(k.snapshot().voices[0].basePhaseInc / (440.0 / sr * 2048.0),
                std::exp2(cents / 1200.0), 1e-6);
  }
}
