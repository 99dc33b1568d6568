// Tests of the kernel as a whole: voice allocation, reset, sample rates and what a listener hears.
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// 16384 frames of one note at full sustain, after settle frames.
std::vector<float> listen(double sr, float shape, float boost, float bend, int note, int settle) {
  PreparedKernel k(sr);
  k.setParameter(0, shape), k.setParameter(5, 1.0f), k.setParameter(19, boost);
  k.setPitchBend(bend);
  k.noteOn(std::uint8_t(note), 10); // quiet, so the saturator adds no harmonics of note
  const auto out = render(k, settle + 16384);
  EXPECT_EQ(out.left, out.right);
  return std::vector<float>(out.left.begin() + settle, out.left.end());
}

// Frequency from the first and last interpolated rising zero crossings.
double zeroCrossingFrequency(const std::vector<float>& x, double sampleRate) {
  double first = -1.0, last = 0.0;
  int periods = -1;
  for (std::size_t i = 1; i < x.size(); ++i)
    if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
      last = double(i - 1) + x[i - 1] / double(x[i - 1] - x[i]);
      first = first < 0.0 ? last : first, ++periods;
    }
  return sampleRate * periods / (last - first);
}

} // namespace

TEST(Voices, TakeFreeVoicesInOrderThenStealTheOldest) {
  QuorvaneDSPKernel k;
  for (int i = 0; i < 16; ++i) {
    k.noteOn(std::uint8_t(40 + i), 127 - i);
    EXPECT_TRUE(k.voices[i].noteNumber == 40 + i && k.voices[i].startTime == i + 1u) << i;
    EXPECT_FLOAT_EQ(k.voices[i].velAmp, (127 - i) / 127.0f * 0.125f);
  }
  render(k, 2000);
  const float held = k.voices[5].level;
  k.noteOff(45); // voice 5 releases, but voice 0 is older
  render(k, 100);
  k.noteOn(90, 64);
  const Voice& v = k.voices[0];
  EXPECT_TRUE(v.noteNumber == 90 && v.startTime == 17u && v.stage == Stage::attack);
  EXPECT_EQ(v.level + v.phase0 + v.phase1 + v.phase2 + v.phase3 + v.phaseSub, 0.0f); // no fade
  EXPECT_TRUE(k.voices[5].stage == Stage::release && k.voices[5].releaseStartLevel == held);
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
  EXPECT_TRUE(k.voices[0].stage == Stage::release && k.voices[1].stage == Stage::release);
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

TEST(Kernel, ResetSilencesButKeepsParametersAndPrepareRefusesUnusableRates) {
  PreparedKernel k(48000.0);
  applyFullChain(k);
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
  for (auto [a, v] : kFullChain)
    EXPECT_EQ(k.parameterValue(std::uint64_t(a)), v);
  for (double sr : {0.0, -44100.0, 999.0, 2e6, std::nan("")}) // and changing nothing
    EXPECT_THROW(k.prepare(256, sr), std::invalid_argument) << sr;
  EXPECT_TRUE(k.sampleRate == 48000.0 && k.delayScratchL.size() == 512u);
}

TEST(Listening, ConcertAAtShapeZeroIsAPure440HzSineAndBendMovesItTwoSemitones) {
  for (double sr : {44100.0, 48000.0})
    for (auto [bend, hz] : {std::pair{0.0f, 440.0}, {1.0f, 493.8833}, {-1.0f, 391.9954}}) {
      const auto x = listen(sr, 0.0f, 0.0f, bend, 69, 8192);
      EXPECT_NEAR(zeroCrossingFrequency(x, sr), hz, 0.01) << sr;
      const auto mag = spectrum(x.data(), 16384);
      const double bin = hz * 16384 / sr, peak = *std::max_element(mag.begin(), mag.end());
      for (int h = 2; h <= 10; ++h)
        for (int b = int(h * bin) - 4; b <= int(h * bin) + 5; ++b)
          ASSERT_LT(mag[b], 1e-3 * peak) << "harmonic " << h << " at " << sr;
    }
}

// With the sub-oscillator on, its harmonics are all that may sound: the rest are aliases.
TEST(Listening, HighSawtoothNotesBentUpHaveNoAliases) {
  for (double sr : {44100.0, 48000.0})
    for (int note : {96, 106, 113, 120, 127}) {
      const auto x = listen(sr, 3.0f / 7.0f, 1.0f, 1.0f, note, 4096); // the sawtooth row
      const auto mag = spectrum(x.data(), 16384);
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
