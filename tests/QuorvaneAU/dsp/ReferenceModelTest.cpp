// The vectorised voice loop and reverb scatter against plain one-sample-at-a-time models, at
// every vector width this processor runs: the results must agree bit for bit, over random
// settings, stages and block sizes. These two are the only code that the width changes, so whole
// renders at four and eight lanes agree as well.
#include "QuorvaneAU/dsp/OscillatorBank.h"
#include "QuorvaneAU/dsp/VelvetReverberator.h"
#include "QuorvaneAU/dsp/VoiceRenderer.h"
#include "QuorvaneAU/dsp/simd/VectorWidth.h"
#include "SignalTools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using quorvane::dsp::BankConstants, quorvane::dsp::computeBankConstants, quorvane::dsp::RowBlend;
using quorvane::dsp::Stage;
using quorvane::dsp::VectorWidth;
using quorvane::dsp::VelvetEcho, quorvane::dsp::VelvetEchoes, quorvane::dsp::VelvetReverberator;
using quorvane::dsp::Voice, quorvane::dsp::VoiceBlock, quorvane::dsp::Wavetable;

namespace {

constexpr float Voice::*kPhases[5] = {&Voice::phase0, &Voice::phase1, &Voice::phase2,
                                      &Voice::phase3, &Voice::phaseSub};

// One oscillator's value at phase on the level starting at base, wrapping the index explicitly.
float oscillatorValue(const float* base, const RowBlend& rows, float phase) {
  const int whole = int(phase), i = whole & Wavetable::kRowMask, j = (i + 1) & Wavetable::kRowMask;
  const float f = phase - float(whole);
  const float* lo = base + rows.rowLo * Wavetable::kRowLength;
  const float* hi = base + rows.rowHi * Wavetable::kRowLength;
  const float l = lo[i] + f * (lo[j] - lo[i]), h = hi[i] + f * (hi[j] - hi[i]);
  return l + rows.rowFrac * (h - l);
}

// The voice loop written as plainly as possible, sample by sample.
void referenceVoice(const Wavetable& w, Voice& v, const VoiceBlock& b, float* left, float* right,
                    int n) {
  const BankConstants& bank = b.bank;
  const float* base = w.samples.data() + quorvane::dsp::levelBase(v.mipLevel);
  const float* subBase = w.samples.data() + quorvane::dsp::levelBase(v.mipLevel - 1);
  float inc[5];
  for (int i = 0; i < 4; ++i)
    inc[i] = bank.detuneRatio[i] * b.bendRatio * v.basePhaseInc;
  inc[4] = 0.5f * b.bendRatio * v.basePhaseInc;
  const float releaseDec = v.releaseStartLevel / b.releaseTimeSr;
  for (int j = 0; j < n && v.stage != Stage::off; ++j) {
    float o[4];
    for (int i = 0; i < 4; ++i)
      o[i] = oscillatorValue(base, bank.unison[i], v.*kPhases[i]);
    const float s = oscillatorValue(subBase, bank.sub, v.phaseSub);
    const float a = v.velAmp * 0.25f * v.level;
    left[j] += a * (bank.gainL[0] * o[0] + bank.gainL[1] * o[1] + o[2] + bank.gainL[3] * o[3]) +
               a * b.subGain * s;
    right[j] += a * (bank.gainR[0] * o[0] + bank.gainR[1] * o[1] + o[2] + bank.gainR[3] * o[3]) +
                a * b.subGain * s;
    for (int i = 0; i < 5; ++i)
      if ((v.*kPhases[i] += inc[i]) >= 2048.0f)
        v.*kPhases[i] -= 2048.0f;
    if (v.stage == Stage::attack && (v.level += b.attackInc) >= 1.0f)
      v.level = 1.0f, v.stage = Stage::decay;
    else if (v.stage == Stage::decay && (v.level -= b.decayDec) <= b.sustain)
      v.level = b.sustain, v.stage = Stage::sustain;
    else if (v.stage == Stage::sustain)
      v.level = b.sustain;
    else if (v.stage == Stage::release && (v.level -= releaseDec) <= 0.0f)
      v.level = 0.0f, v.stage = Stage::off;
  }
}

// Four lanes always; eight where the processor (and build) has them.
std::vector<VectorWidth> widthsHere() {
  if (quorvane::dsp::eightLanesAvailable())
    return {VectorWidth::four, VectorWidth::eight};
  return {VectorWidth::four};
}

// Runs check at every width, and leaves the widest in use as it found it.
template <typename Check> void atEveryWidth(Check check) {
  for (const VectorWidth width : widthsHere()) {
    SCOPED_TRACE(std::to_string(static_cast<int>(width)) + " lanes");
    quorvane::dsp::useVectorWidth(width);
    check();
  }
  quorvane::dsp::useVectorWidth(VectorWidth::eight);
}

template <typename T> bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](T x, T y) { return x == y || (x != x && y != y); });
}

} // namespace

TEST(ReferenceModel, VoiceLoopMatchesSampleBySample) {
  const std::uint32_t seed = testSeed("ReferenceModel.VoiceLoopMatchesSampleBySample");
  atEveryWidth([seed] {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f), bipolar(-1.0f, 1.0f);
    for (int round = 0; round < 300; ++round) {
      VoiceBlock b;
      b.bank = computeBankConstants({unit(rng), unit(rng), unit(rng), unit(rng), unit(rng),
                                     bipolar(rng), bipolar(rng), bipolar(rng)});
      b.bendRatio = std::exp2(bipolar(rng) / 6.0f);
      b.sustain = unit(rng);
      b.attackInc = 1.0f / (1.0f + 400.0f * unit(rng)); // attacks and decays that end mid-block
      b.decayDec = (1.0f - b.sustain) / (1.0f + 400.0f * unit(rng));
      b.releaseTimeSr = 1.0f + 600.0f * unit(rng);
      b.subGain = 2.0f * std::sqrt(unit(rng));

      Voice v;
      v.stage = static_cast<Stage>(1 + rng() % 4);
      v.level = v.releaseStartLevel = unit(rng);
      v.velAmp = unit(rng) * 0.125f;
      v.basePhaseInc = 0.5f + 400.0f * unit(rng) * unit(rng);
      v.mipLevel = Wavetable::levelForIncrement(v.basePhaseInc * 1.122462f);
      for (auto phase : kPhases)
        v.*phase = 2047.9f * unit(rng);

      const int n = static_cast<int>(rng() % 300);
      std::vector<float> l(n, 0.25f), r(n, -0.25f), refL = l, refR = r;
      Voice ref = v;
      renderVoice(Wavetable::shared(), v, b, l.data(), r.data(), n);
      referenceVoice(Wavetable::shared(), ref, b, refL.data(), refR.data(), n);
      ASSERT_TRUE(sameBits(l, refL) && sameBits(r, refR)) << "round " << round << ", n " << n;
      ASSERT_TRUE(v.stage == ref.stage && v.level == ref.level) << "round " << round;
      for (auto phase : kPhases)
        ASSERT_EQ(v.*phase, ref.*phase) << "round " << round;
    }
  });
}

TEST(ReferenceModel, ReverbScatterMatchesModuloLoop) {
  atEveryWidth([] {
    VelvetEchoes echoes;
    echoes.seed(0x1234567u, 0x89ABCDEu);
    echoes.prepare(8000.0); // short loop: blocks wrap the buffer often
    echoes.setReverbTime(1.3f);
    const int loop = echoes.loopLength(), size = 2 * loop;
    VelvetReverberator fast;
    fast.prepare(loop);
    fast.setFeedback(0.6f), fast.setDamping(0.4f);

    // The plain form: every index taken modulo the size; taps from kGathered out take input
    // kGathered samples at a time, or a whole call's at once when it is that long.
    constexpr int kGathered = VelvetReverberator::kGathered;
    std::vector<float> mem(size, 0.0f), gathered;
    int readPos = 0, feedbackPos = loop, gatheredFrom = 0;
    float damped = 0.0f;
    const auto scatter = [&](const std::vector<float>& x, int from, bool longTaps) {
      for (const VelvetEcho& tap : echoes.left())
        if ((tap.position >= kGathered) == longTaps)
          for (std::size_t j = 0; j < x.size(); ++j)
            mem[(from + tap.position + j) % size] += tap.amplitude * 0.09f * x[j];
    };
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> bipolar(-1.0f, 1.0f);
    for (int block = 0; block < 200; ++block) {
      const int n = 1 + static_cast<int>(rng() % (block % 3 == 0 ? 3000 : 400));
      std::vector<float> x(n);
      for (float& s : x)
        s = bipolar(rng);
      std::vector<float> y = x, z = x;
      fast.process(y.data(), n, echoes.left());

      if (n >= kGathered) {
        if (!gathered.empty())
          scatter(gathered, gatheredFrom, true), gathered.clear();
        scatter(x, readPos, false), scatter(x, readPos, true);
      } else {
        scatter(x, readPos, false);
        if (gathered.empty())
          gatheredFrom = readPos;
        gathered.insert(gathered.end(), x.begin(), x.end());
        if (gathered.size() >= kGathered)
          scatter(gathered, gatheredFrom, true), gathered.clear();
      }
      for (int j = 0; j < n; ++j) {
        z[j] = mem[readPos];
        mem[readPos] = 0.0f;
        damped = (1.0f - 0.4f) * damped + 0.4f * z[j];
        mem[feedbackPos] += 0.6f * damped;
        readPos = (readPos + 1) % size;
        feedbackPos = (feedbackPos + 1) % size;
      }
      ASSERT_TRUE(sameBits(y, z)) << "block " << block << ", n " << n;
    }
  });
}
