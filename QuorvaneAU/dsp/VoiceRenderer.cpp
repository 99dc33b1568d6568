// One voice for one block: four unison oscillators as one four-lane vector, the sub, the
// envelope, mixed into the stereo output.
#include "QuorvaneAU/dsp/VoiceRenderer.h"

#include "QuorvaneAU/dsp/Float4.h"
#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cstdint>

namespace quorvane::dsp {

namespace {

constexpr float kTableLength = static_cast<float>(Wavetable::kRowLength);
constexpr int kChunk = 64;

// Increments stay in [0, 2048] so one wrap per sample keeps every phase inside the table
// whatever the parameters; only frequencies above the sample rate are affected.
float safeIncrement(float inc) noexcept { return foundation::clampFinite(inc, 0.0f, kTableLength); }

const float* at(const float* base, std::int32_t offset) noexcept {
  return base + static_cast<std::uint32_t>(offset);
}

// Two-row blends of the table at four phases, one per lane. Row lane i starts at
// table + lo[i] (and hi[i]). Reading idx + 1 without wrapping is exact: see Wavetable::samples.
[[gnu::always_inline]] inline Float4 tableValues(const float* table, Int4 lo, Int4 hi,
                                                 Float4 rowFrac, Float4 phase) noexcept {
  const Int4 whole = truncateToInt(phase);
  const Float4 f = phase - toFloat(whole);
  const Int4 idx = whole & Wavetable::kRowMask;
  // Offsets go through memory: the loads are cheaper than lane extractions, which compete with
  // the gathers' shuffles.
  alignas(16) volatile std::int32_t l[4], h[4];
  store4(l, idx + lo);
  store4(h, idx + hi);
  Float4 lo0, lo1, hi0, hi1;
  gatherPairs(at(table, l[0]), at(table, l[1]), at(table, l[2]), at(table, l[3]), lo0, lo1);
  gatherPairs(at(table, h[0]), at(table, h[1]), at(table, h[2]), at(table, h[3]), hi0, hi1);
  const Float4 lv = lo0 + f * (lo1 - lo0);
  const Float4 hv = hi0 + f * (hi1 - hi0);
  return lv + rowFrac * (hv - lv);
}

float subValue(const float* lo, const float* hi, float rowFrac, float phase) noexcept {
  const int whole = static_cast<int>(phase);
  const float f = phase - static_cast<float>(whole);
  const std::uint32_t idx = static_cast<std::uint32_t>(whole & Wavetable::kRowMask);
  const float l = lo[idx] + f * (lo[idx + 1] - lo[idx]);
  const float h = hi[idx] + f * (hi[idx + 1] - hi[idx]);
  return l + rowFrac * (h - l);
}

struct Envelope {
  Stage stage;
  float level;
  float attackInc, decayDec, sustain, releaseDec;

  // One linear step, taken after the sample's output.
  void step() noexcept {
    switch (stage) {
    case Stage::attack:
      level += attackInc;
      if (level >= 1.0f) {
        level = 1.0f;
        stage = Stage::decay;
      }
      break;
    case Stage::decay:
      level -= decayDec;
      if (level <= sustain) {
        level = sustain;
        stage = Stage::sustain;
      }
      break;
    case Stage::sustain:
      level = sustain;
      break;
    case Stage::release:
      level -= releaseDec;
      if (level <= 0.0f) {
        level = 0.0f;
        stage = Stage::off;
      }
      break;
    case Stage::off:
      break;
    }
  }
};

} // namespace

void renderVoice(const Wavetable& wavetable, Voice& v, const VoiceBlock& block,
                 float* __restrict left, float* __restrict right, int n) noexcept {
  const BankConstants& bank = block.bank;
  const float* const table = wavetable.samples.data();
  const int base = levelBase(v.mipLevel);
  const int subBase = levelBase(v.mipLevel - 1); // an octave down: twice the harmonics

  Int4 loBase = {}, hiBase = {};
  Float4 rowFrac = {}, inc = {};
  for (int i = 0; i < 4; ++i) {
    loBase[i] = base + bank.unison[i].rowLo * Wavetable::kRowLength;
    hiBase[i] = base + bank.unison[i].rowHi * Wavetable::kRowLength;
    rowFrac[i] = bank.unison[i].rowFrac;
    inc[i] = safeIncrement(bank.detuneRatio[i] * block.bendRatio * v.basePhaseInc);
  }
  const Float4 gainL = {bank.gainL[0], bank.gainL[1], bank.gainL[2], bank.gainL[3]};
  const Float4 gainR = {bank.gainR[0], bank.gainR[1], bank.gainR[2], bank.gainR[3]};
  const float* const subLo = table + subBase + bank.sub.rowLo * Wavetable::kRowLength;
  const float* const subHi = table + subBase + bank.sub.rowHi * Wavetable::kRowLength;
  const Int4 subLoBase = broadcast(static_cast<std::int32_t>(subLo - table));
  const Int4 subHiBase = broadcast(static_cast<std::int32_t>(subHi - table));
  const Float4 subFrac = broadcast(bank.sub.rowFrac);
  const float subInc = safeIncrement(0.5f * block.bendRatio * v.basePhaseInc);
  const float subGain = block.subGain;
  const float amp = v.velAmp * 0.25f;

  Float4 phase = {v.phase0, v.phase1, v.phase2, v.phase3};
  float phaseSub = v.phaseSub;
  Envelope env{v.stage,        v.level,       block.attackInc,
               block.decayDec, block.sustain, v.releaseStartLevel / block.releaseTimeSr};

  // Chunks run in passes (envelope, unison, sub, mix) so that each loop keeps its values in
  // registers; the mix then handles four samples per step as vectors over time.
  alignas(16) float a[kChunk];
  alignas(16) float sub[kChunk];
  Float4 osc[kChunk];
  for (int start = 0; start < n && env.stage != Stage::off; start += kChunk) {
    const int len = std::min(kChunk, n - start);
    int m = 0; // samples that sound in this chunk: a release may end inside it
    if (env.stage == Stage::sustain) {
      // The level follows the sustain parameter from the first step on.
      a[m++] = amp * env.level;
      env.level = env.sustain;
      std::fill(a + m, a + len, amp * env.sustain);
      m = len;
    }
    while (m < len && env.stage != Stage::off) {
      a[m++] = amp * env.level;
      env.step();
    }

    for (int t = 0; t < m; ++t) {
      osc[t] = tableValues(table, loBase, hiBase, rowFrac, phase);
      phase = wrapOnce(phase + inc, kTableLength);
    }
    for (int t = 0; t < m; ++t) {
      sub[t] = phaseSub;
      phaseSub += subInc;
      if (phaseSub >= kTableLength)
        phaseSub -= kTableLength;
    }
    int t = 0;
    for (; t + 4 <= m; t += 4)
      store4(sub + t, tableValues(table, subLoBase, subHiBase, subFrac, load4(sub + t)));
    for (; t < m; ++t)
      sub[t] = subValue(subLo, subHi, bank.sub.rowFrac, sub[t]);

    float* const l = left + start;
    float* const r = right + start;
    for (t = 0; t + 4 <= m; t += 4) {
      Float4 o0 = osc[t], o1 = osc[t + 1], o2 = osc[t + 2], o3 = osc[t + 3];
      transpose(o0, o1, o2, o3); // oN now holds oscillator N over four samples
      const Float4 sumL = gainL[0] * o0 + gainL[1] * o1 + o2 + gainL[3] * o3;
      const Float4 sumR = gainR[0] * o0 + gainR[1] * o1 + o2 + gainR[3] * o3;
      const Float4 av = load4(a + t);
      const Float4 subPart = av * subGain * load4(sub + t);
      store4(l + t, load4(l + t) + (av * sumL + subPart));
      store4(r + t, load4(r + t) + (av * sumR + subPart));
    }
    for (; t < m; ++t) {
      float sumL, sumR;
      laneSums(gainL * osc[t], gainR * osc[t], sumL, sumR);
      l[t] += a[t] * sumL + a[t] * subGain * sub[t];
      r[t] += a[t] * sumR + a[t] * subGain * sub[t];
    }
  }

  v.phase0 = phase[0];
  v.phase1 = phase[1];
  v.phase2 = phase[2];
  v.phase3 = phase[3];
  v.phaseSub = phaseSub;
  v.level = env.level;
  v.stage = env.stage;
}

} // namespace quorvane::dsp
