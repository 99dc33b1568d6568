// Tests of the kernel as a whole: voice allocation, reset, sample rates and what a listener hears.
#include "QuorvaneAU/dsp/MidiDecoding.h"
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <stdexcept>

using quorvane::dsp::QuorvaneDSPKernel, quorvane::dsp::Stage, quorvane::dsp::Voice;
using P = quorvane::dsp::QuorvaneParameter;

namespace {

// 16384 frames of one note at full sustain, after settle frames, bent by bend of the range.
std::vector<float> listen(double sr, float shape, float boost, float bend, int note, int settle,
                          float range = 2.0f) {
  PreparedKernel k(sr);
  k.setParameter(P::shape, shape), k.setParameter(P::sustain, 1.0f);
  k.setParameter(P::boost, boost), k.setParameter(P::bendRange, range);
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

// Free voices in order, then the oldest note whatever its stage; a note played again takes a
// voice of its own. As MIDI on any channel: velocity 0 releases every voice of the note, key
// pressure (7 bits) skips released voices, bend is 14 bits around 8192.
TEST(Voices, AllocationReleaseAndPressureThroughMIDI) {
  QuorvaneDSPKernel k;
  const auto send = [&k](std::initializer_list<std::uint8_t> m) {
    quorvane::dsp::applyMIDIMessage(k, std::data(m), m.size());
    return k.snapshot();
  };
  for (int i = 0; i < 16; ++i)
    send({std::uint8_t(0x90 + i), std::uint8_t(40 + i), std::uint8_t(127 - i)});
  auto v = k.snapshot().voices;
  for (int i = 0; i < 16; ++i)
    EXPECT_TRUE(v[i].noteNumber == 40 + i && v[i].startTime == i + 1u &&
                v[i].velAmp == (127 - i) / 127.0f * 0.125f)
        << i;
  render(k, 2000);
  const float held = k.snapshot().voices[5].level;
  send({0x93, 45, 100}); // note 45 again: voice 0, the oldest
  send({0x9C, 45, 0}), send({0xA1, 45, 127});
  v = send({0xA7, 46, 127}).voices;
  EXPECT_TRUE(v[0].noteNumber == 45 && v[0].startTime == 17u && v[0].stage == Stage::release);
  EXPECT_TRUE(v[5].stage == Stage::release && v[5].releaseStartLevel == held);
  EXPECT_EQ(v[0].targetAftertouch + v[5].targetAftertouch, 0.0f);
  EXPECT_EQ(v[6].targetAftertouch, 1.0f);
  const Voice s = send({0x90, 90, 64}).voices[1]; // the oldest: the released voices are newer
  EXPECT_TRUE(s.noteNumber == 90 && s.startTime == 18u && s.stage == Stage::attack);
  EXPECT_EQ(s.level + s.phase0 + s.phase1 + s.phase2 + s.phase3 + s.phaseSub, 0.0f); // no fade
  EXPECT_EQ(send({0xE3, 0x7F, 0x7F}).pitchBend, 8191.0f / 8192.0f);
  EXPECT_EQ(send({0xE0, 0x00, 0x00}).pitchBend, -1.0f);
  EXPECT_EQ(send({0xEF, 0x00, 0x60}).pitchBend, 0.5f);
  float left = 7.0f, right = 7.0f;
  k.renderFrames(&left, &right, 0); // writes nothing, changes no voice
  EXPECT_TRUE(left == 7.0f && right == 7.0f);
  const Voice after = k.snapshot().voices[6];
  EXPECT_TRUE(after.level == v[6].level && after.phase0 == v[6].phase0 &&
              after.aftertouch == v[6].aftertouch);
  k.setParameter(P::release, 0.001f); // voices 0 and 5 end; a free voice beats the oldest
  render(k, 512);
  ASSERT_EQ(k.snapshot().voices[0].stage, Stage::off);
  EXPECT_EQ(send({0x90, 91, 64}).voices[0].noteNumber, 91);
}

// A key played again while the pedal sustains it takes a voice of its own, which lifting the
// pedal leaves held, as it does a sustained voice a new note took over. Each of the mode
// messages ends the notes as all notes off does.
TEST(Voices, SustainedVoicesAndModeMessagesThroughMIDI) {
  QuorvaneDSPKernel k;
  const auto send = [&k](std::initializer_list<std::uint8_t> m) {
    quorvane::dsp::applyMIDIMessage(k, std::data(m), m.size());
    return k.snapshot().voices;
  };
  send({0xB0, 64, 127});
  for (int i = 0; i < 16; ++i)
    send({0x90, std::uint8_t(40 + i), 100}), send({0x80, std::uint8_t(40 + i), 0});
  auto v = send({0x90, 41, 100}); // voice 0, the oldest
  EXPECT_TRUE(v[1].sustained && v[1].stage == Stage::attack);
  EXPECT_TRUE(v[0].noteNumber == 41 && !v[0].sustained);
  v = send({0xB0, 64, 0});
  EXPECT_TRUE(v[0].stage == Stage::attack && v[1].stage == Stage::release && !v[1].sustained);
  for (std::uint8_t mode : {123, 124, 125, 126, 127}) {
    k.reset();
    send({0x90, 41, 100});
    EXPECT_EQ(send({0xB0, mode, 0})[0].stage, Stage::release) << int(mode);
  }
}

TEST(Kernel, ResetSilencesButKeepsParametersAndPrepareRefusesUnusableRates) {
  PreparedKernel k(48000.0), twin(48000.0);
  applyFullChain(k), applyFullChain(twin);
  for (double sr : {0.0, -44100.0, 999.0, 2e6, std::nan("")})
    EXPECT_THROW(k.prepare(256, sr), std::invalid_argument) << sr;
  k.noteOn(60, 127), twin.noteOn(60, 127); // the refused rates changed nothing
  EXPECT_EQ(render(k, 1024).left, render(twin, 1024).left);
  k.noteOn(67, 127), k.setChannelPressure(1.0f), k.setPitchBend(0.5f);
  render(k, 8192);
  k.reset();
  const auto s = k.snapshot();
  EXPECT_EQ(s.lfoPhase + s.lfo + s.drift + s.pitchBend + s.channelPressure, 0.0f);
  const auto out = render(k, 2048); // no tail survives in the filter, delay or reverb
  EXPECT_TRUE(out.left == std::vector<float>(2048) && out.right == out.left);
  EXPECT_EQ(k.snapshot().channelPressure, 0.0f); // nor the pressure it was heading for
  k.noteOn(60, 127);
  EXPECT_EQ(k.snapshot().voices[0].startTime, 1u);
  for (std::uint64_t a = 0; a < quorvane::dsp::kQuorvaneParameterCount; ++a)
    EXPECT_EQ(k.parameterValue(a), twin.parameterValue(a)) << a;
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

// The bend reaches as far as the range, in whole semitones (a range between them rounds).
TEST(Listening, TheBendRangeSetsHowFarTheBendReaches) {
  for (auto [range, semitones] :
       {std::pair{1.0f, 1}, {7.0f, 7}, {6.6f, 7}, {12.0f, 12}, {24.0f, 24}, {0.0f, 1}, {99.0f, 24}})
    for (const float bend : {1.0f, -1.0f, 0.5f}) {
      const auto x = listen(48000.0, 0.0f, 0.0f, bend, 69, 8192, range);
      EXPECT_NEAR(zeroCrossingFrequency(x, 48000.0), 440.0 * std::exp2(bend * semitones / 12.0),
                  0.02)
          << range << " " << bend;
    }
}

// With the sub-oscillator on, its harmonics are all that may sound: the rest are aliases. The
// band limit leaves room for a full bend up, however far the range reaches.
TEST(Listening, HighSawtoothNotesBentUpHaveNoAliases) {
  for (auto [range, notes] : {std::pair{2, std::vector{96, 106, 113, 120, 127}},
                              {12, std::vector{84, 96, 108, 115}},
                              {24, std::vector{72, 84, 96, 103}}})
    for (double sr : {44100.0, 48000.0})
      for (int note : notes) {
        const auto x = listen(sr, 3.0f / 7.0f, 1.0f, 1.0f, note, 4096, float(range)); // sawtooth
        const auto mag = spectrum(x.data(), 16384);
        const double peak = *std::max_element(mag.begin(), mag.end()), binHz = sr / 16384;
        const double subHz = 440.0 * std::exp2((note - 69 + range) / 12.0) / 2.0;
        for (std::size_t b = 8; b < mag.size(); ++b) {
          const double hz = double(b) * binHz;
          if (std::abs(hz - std::round(hz / subHz) * subHz) > 8 * binHz) {
            ASSERT_LT(mag[b], 1e-4 * peak)
                << "note " << note << " bent up " << range << " at " << sr << ": " << hz;
          }
        }
      }
}
