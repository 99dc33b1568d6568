// Tests of the kernel as a whole: voice allocation, parameters, reset and what a listener hears.
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <stdexcept>

using signal_tools::render;

TEST(Voices, TakeFreeVoicesInOrderThenStealTheOldest) {
  QuorvaneDSPKernel k;
  for (int i = 0; i < 16; ++i)
    k.noteOn(std::uint8_t(40 + i), 127 - i);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(k.voices[i].noteNumber, 40 + i);
    EXPECT_EQ(k.voices[i].startTime, std::uint64_t(i + 1));
    EXPECT_FLOAT_EQ(k.voices[i].velAmp, (127 - i) / 127.0f * 0.125f);
  }
  render(k, 2000);
  const float held = k.voices[5].level;
  k.noteOff(45); // voice 5 releases, but voice 0 is older
  render(k, 100);
  k.noteOn(90, 64);
  const Voice& v = k.voices[0];
  EXPECT_EQ(v.noteNumber, 90);
  EXPECT_EQ(v.startTime, 17u);
  EXPECT_EQ(v.stage, Stage::attack);
  EXPECT_EQ(v.level, 0.0f); // restarts from silence, no fade
  EXPECT_EQ(v.phase0 + v.phase1 + v.phase2 + v.phase3 + v.phaseSub, 0.0f);
  EXPECT_EQ(k.voices[5].stage, Stage::release);
  EXPECT_EQ(k.voices[5].releaseStartLevel, held);
  k.setParameter(6, 0.001f); // voice 5 ends; a free voice beats the oldest
  render(k, 512);
  ASSERT_EQ(k.voices[5].stage, Stage::off);
  k.noteOn(91, 64);
  EXPECT_EQ(k.voices[5].noteNumber, 91);
}

TEST(Voices, NoteOffReleasesEveryVoiceOfTheNoteAndPressureSkipsReleasedOnes) {
  QuorvaneDSPKernel k;
  k.noteOn(60, 100), k.noteOn(60, 100), k.noteOn(62, 100); // no same-note re-use
  render(k, 300);
  k.noteOff(60);
  EXPECT_EQ(k.voices[0].stage, Stage::release);
  EXPECT_EQ(k.voices[1].stage, Stage::release);
  EXPECT_NE(k.voices[2].stage, Stage::release);
  k.setPolyPressure(60, 0.8f), k.setPolyPressure(62, 0.6f);
  EXPECT_EQ(k.voices[0].targetAftertouch + k.voices[1].targetAftertouch, 0.0f);
  EXPECT_EQ(k.voices[2].targetAftertouch, 0.6f);
  const Voice before = k.voices[2];
  float left = 7.0f, right = 7.0f;
  k.renderFrames(&left, &right, 0); // writes nothing, changes no voice
  EXPECT_TRUE(left == 7.0f && right == 7.0f);
  EXPECT_TRUE(k.voices[2].level == before.level && k.voices[2].phase0 == before.phase0 &&
              k.voices[2].aftertouch == before.aftertouch);
}

TEST(Kernel, ParametersMapToTheirFieldsUnclamped) {
  QuorvaneDSPKernel k;
  const std::atomic<float>* fields[21] = {&k.shape,       &k.detuneSpread,  &k.rowSpread,
                                          &k.attackTime,  &k.decayTime,     &k.sustainLevel,
                                          &k.releaseTime, &k.rate,          &k.motion,
                                          &k.spacetime,   &k.drive,         &k.frequency,
                                          &k.resonance,   &k.drift,         &k.echo,
                                          &k.filterType,  &k.filterRolloff, &k.aftertouchDepth,
                                          &k.echoTime,    &k.boost,         &k.space};
  const float defaults[21] = {0.5f, 0, 0, 0.005f, 0.08f, 0.4f, 0.25f, 1, 0, 0, 1,
                              1,    0, 0, 0,      0,     0,    0,     0, 0, 0};
  for (std::uint64_t a = 0; a < 21; ++a) {
    EXPECT_EQ(k.parameterValue(a), defaults[a]) << a;
    k.setParameter(a, 100.0f + a);
  }
  for (std::uint64_t a : {21ull, 25ull, ~0ull})
    k.setParameter(a, 5.0f);
  for (std::uint64_t a = 0; a < 21; ++a)
    EXPECT_TRUE(fields[a]->load() == 100.0f + a && k.parameterValue(a) == 100.0f + a) << a;
  EXPECT_EQ(k.parameterValue(25), 0.0f);
}

TEST(Kernel, ResetSilencesEverythingButKeepsParameters) {
  QuorvaneDSPKernel k;
  k.prepare(512, 48000.0);
  signal_tools::apply(k, signal_tools::kFullChain);
  k.noteOn(60, 127), k.noteOn(67, 127);
  k.setChannelPressure(1.0f), k.setPitchBend(0.5f);
  render(k, 8192);
  k.reset();
  EXPECT_EQ(k.noteAgeCounter, 0u);
  EXPECT_EQ(k.lfoPhase + k.lfoValue + k.driftValue + k.pitchBendNorm + k.channelPressure +
                k.targetChannelPressure,
            0.0f);
  const auto out = render(k, 2048); // no tail survives in the filter, delay or reverb
  for (int i = 0; i < 2048; ++i)
    ASSERT_TRUE(out.left[i] == 0.0f && out.right[i] == 0.0f) << "frame " << i;
  for (auto [a, v] : signal_tools::kFullChain)
    EXPECT_EQ(k.parameterValue(std::uint64_t(a)), v);
}

TEST(Kernel, PrepareRefusesUnusableRatesAndChangesNothing) {
  QuorvaneDSPKernel k;
  k.prepare(256, 48000.0);
  for (double sr : {0.0, -44100.0, 999.0, 2e6, std::nan("")})
    EXPECT_THROW(k.prepare(512, sr), std::invalid_argument) << sr;
  EXPECT_EQ(k.sampleRate, 48000.0);
  EXPECT_EQ(k.delayScratchL.size(), 256u);
}

TEST(Listening, ConcertAAtShapeZeroIsAPure440HzSineAndBendMovesItTwoSemitones) {
  for (double sr : {44100.0, 48000.0})
    for (auto [bend, hz] : {std::pair{0.0f, 440.0}, {1.0f, 493.8833}, {-1.0f, 391.9954}}) {
      QuorvaneDSPKernel k;
      k.prepare(512, sr);
      k.setParameter(0, 0.0f);
      k.setParameter(5, 1.0f);
      k.setPitchBend(bend);
      k.noteOn(69, 40); // quiet, so the saturator adds no harmonics of note
      const auto out = render(k, 8192 + 16384);
      const float* steady = out.left.data() + 8192;
      EXPECT_NEAR(signal_tools::zeroCrossingFrequency(steady, 16384, sr), hz, 0.01) << sr;
      EXPECT_EQ(out.left, out.right);
      const auto mag = signal_tools::spectrum(steady, 16384);
      const double bin = hz * 16384 / sr, peak = *std::max_element(mag.begin(), mag.end());
      for (int h = 2; h <= 10; ++h)
        for (int b = int(h * bin) - 4; b <= int(h * bin) + 5; ++b)
          ASSERT_LT(mag[b], 1e-3 * peak) << "harmonic " << h << " at " << sr;
    }
}

TEST(Listening, HighSawtoothNotesBentUpHaveNoAliases) {
  for (double sr : {44100.0, 48000.0})
    for (int note : {96, 106, 113, 120, 127}) {
      QuorvaneDSPKernel k;
      k.prepare(512, sr);
      k.setParameter(0, 3.0f / 7.0f); // the sawtooth row
      k.setParameter(5, 1.0f);
      k.setParameter(19, 1.0f); // and the sub-oscillator
      k.setPitchBend(1.0f);
      k.noteOn(std::uint8_t(note), 10);
      const auto out = render(k, 4096 + 16384);
      const auto mag = signal_tools::spectrum(out.left.data() + 4096, 16384);
      const double peak = *std::max_element(mag.begin(), mag.end()), binHz = sr / 16384;
      const double subHz = 440.0 * std::exp2((note - 69 + 2) / 12.0) / 2.0;
      for (std::size_t b = 8; b < mag.size(); ++b) {
        const double hz = double(b) * binHz;
        if (std::abs(hz - std::round(hz / subHz) * subHz) > 8 * binHz) {
          ASSERT_LT(mag[b], 1e-4 * peak) << "note " << note << " at " << sr << ": " << hz;
        }
      }
    }
}

// LFO and drift step per block by design; with them idle the whole chain is block-size free.
TEST(Listening, OutputDoesNotDependOnBlockSizeWithoutModulation) {
  std::mt19937 rng(signal_tools::testSeed("Listening.OutputDoesNotDependOnBlockSize"));
  std::vector<float> outs[3];
  for (int kind = 0; kind < 3; ++kind) {
    QuorvaneDSPKernel k;
    k.seed(1, 2, 3); // the same reverb patterns
    k.prepare(512, 44100.0);
    signal_tools::apply(k, signal_tools::kFullChain);
    k.setParameter(8, 0.0f), k.setParameter(9, 0.0f), k.setParameter(13, 0.0f);
    k.noteOn(48, 100), k.noteOn(55, 90), k.noteOn(64, 80);
    for (int part = 0; part < 2; ++part) {
      for (int done = 0, n; done < 4096; done += n) {
        n = std::min(4096 - done, kind == 0   ? 512
                                  : kind == 1 ? 64
                                              : std::uniform_int_distribution(1, 512)(rng));
        const auto out = render(k, n, n);
        outs[kind].insert(outs[kind].end(), out.left.begin(), out.left.end());
      }
      k.noteOff(48), k.noteOff(55), k.noteOff(64);
    }
  }
  for (int kind = 1; kind < 3; ++kind)
    for (int i = 0; i < 8192; ++i)
      ASSERT_NEAR(outs[kind][i], outs[0][i], 2e-5) << "block kind " << kind << " frame " << i;
}
