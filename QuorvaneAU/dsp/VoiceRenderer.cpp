// One voice for one block: four unison oscillators as one four-lane vector (two samples of them
// as one eight-lane vector on AVX2), the sub, the envelope, mixed into the stereo output.
#include "QuorvaneAU/dsp/VoiceRenderer.h"

#include "QuorvaneAU/dsp/simd/Float4.h"
#include "QuorvaneAU/dsp/simd/VectorWidth.h"
#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__) && !defined(QUORVANE_PORTABLE_SIMD)
#include "QuorvaneAU/dsp/simd/Float8.h"
#define WIDE_VOICE_LOOP 1
#else
#define WIDE_VOICE_LOOP 0
#endif

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

// Eight-lane forms of the loops below, for processors with AVX2: two samples of the four
// oscillators, or eight samples of the sub and the mix, at a time. Each lane sees the same float
// operations in the same order as in the four-lane form.
#if WIDE_VOICE_LOOP

[[gnu::target("avx2"), gnu::always_inline]] inline wide::Float8
tableValues8(const float* table, wide::Int8 lo, wide::Int8 hi, wide::Float8 rowFrac,
             wide::Float8 phase) noexcept {
  const wide::Int8 whole = wide::truncateToInt(phase);
  const wide::Float8 f = phase - wide::toFloat(whole);
  const wide::Int8 idx = whole & Wavetable::kRowMask;
  // Offsets go through memory, as in the four-lane form.
  alignas(32) volatile std::int32_t l[8], h[8];
  wide::store8(l, idx + lo);
  wide::store8(h, idx + hi);
  const float* const lp[8] = {at(table, l[0]), at(table, l[1]), at(table, l[2]), at(table, l[3]),
                              at(table, l[4]), at(table, l[5]), at(table, l[6]), at(table, l[7])};
  const float* const hp[8] = {at(table, h[0]), at(table, h[1]), at(table, h[2]), at(table, h[3]),
                              at(table, h[4]), at(table, h[5]), at(table, h[6]), at(table, h[7])};
  wide::Float8 lo0, lo1, hi0, hi1;
  wide::gatherPairs(lp, lo0, lo1);
  wide::gatherPairs(hp, hi0, hi1);
  const wide::Float8 lv = lo0 + f * (lo1 - lo0);
  const wide::Float8 hv = hi0 + f * (hi1 - hi0);
  return lv + rowFrac * (hv - lv);
}

#endif

struct VoiceConstants {
  const float* table;
  Int4 loBase, hiBase;
  Float4 rowFrac, inc;
  Float4 gainL, gainR;
  const float* subLo;
  const float* subHi;
  Int4 subLoBase, subHiBase;
  Float4 subFrac;
  float subRowFrac, subInc, subGain, amp;
};

VoiceConstants voiceConstants(const Wavetable& wavetable, const Voice& v,
                              const VoiceBlock& block) noexcept {
  const BankConstants& bank = block.bank;
  VoiceConstants c;
  c.table = wavetable.samples.data();
  const int base = levelBase(v.mipLevel);
  const int subBase = levelBase(v.mipLevel - 1); // an octave down: twice the harmonics
  for (int i = 0; i < 4; ++i) {
    c.loBase[i] = base + bank.unison[i].rowLo * Wavetable::kRowLength;
    c.hiBase[i] = base + bank.unison[i].rowHi * Wavetable::kRowLength;
    c.rowFrac[i] = bank.unison[i].rowFrac;
    c.inc[i] = safeIncrement(bank.detuneRatio[i] * block.bendRatio * v.basePhaseInc);
    c.gainL[i] = bank.gainL[static_cast<std::size_t>(i)];
    c.gainR[i] = bank.gainR[static_cast<std::size_t>(i)];
  }
  c.subLo = c.table + subBase + bank.sub.rowLo * Wavetable::kRowLength;
  c.subHi = c.table + subBase + bank.sub.rowHi * Wavetable::kRowLength;
  c.subLoBase = broadcast(static_cast<std::int32_t>(c.subLo - c.table));
  c.subHiBase = broadcast(static_cast<std::int32_t>(c.subHi - c.table));
  c.subFrac = broadcast(bank.sub.rowFrac);
  c.subRowFrac = bank.sub.rowFrac;
  c.subInc = safeIncrement(0.5f * block.bendRatio * v.basePhaseInc);
  c.subGain = block.subGain;
  c.amp = v.velAmp * 0.25f;
  return c;
}

// The unison oscillators for m samples from phase, which ends m samples on.
[[gnu::always_inline]] inline void unisonPass(const VoiceConstants& c, Float4& phase, Float4* osc,
                                              int from, int m) noexcept {
  for (int t = from; t < m; ++t) {
    osc[t] = tableValues(c.table, c.loBase, c.hiBase, c.rowFrac, phase);
    phase = wrapOnce(phase + c.inc, kTableLength);
  }
}

// The sub-oscillator's phases for m samples into sub, phase ending m samples on.
[[gnu::always_inline]] inline void subPhases(float* sub, float& phase, float inc, int m) noexcept {
  for (int t = 0; t < m; ++t) {
    sub[t] = phase;
    phase += inc;
    if (phase >= kTableLength)
      phase -= kTableLength;
  }
}

// sub[from ... m-1] from phases to the sub-oscillator's values.
[[gnu::always_inline]] inline void subPass(const VoiceConstants& c, float* sub, int from,
                                           int m) noexcept {
  int t = from;
  for (; t + 4 <= m; t += 4)
    store4(sub + t, tableValues(c.table, c.subLoBase, c.subHiBase, c.subFrac, load4(sub + t)));
  for (; t < m; ++t)
    sub[t] = subValue(c.subLo, c.subHi, c.subRowFrac, sub[t]);
}

// Adds samples from ... m-1 of the voice into l and r.
[[gnu::always_inline]] inline void mixPass(const VoiceConstants& c, const Float4* osc,
                                           const float* a, const float* sub, float* __restrict l,
                                           float* __restrict r, int from, int m) noexcept {
  const Float4 gainL = c.gainL, gainR = c.gainR;
  const float subGain = c.subGain;
  int t = from;
  for (; t + 4 <= m; t += 4) {
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

#if WIDE_VOICE_LOOP

// The passes above, eight lanes at a time where they fit, the rest as above.
[[gnu::target("avx2"), gnu::always_inline]] inline void
unisonPassEight(const VoiceConstants& c, Float4& phase, Float4* osc, int m) noexcept {
  int t = 0;
  if (m >= 2) {
    const wide::Int8 lo = wide::join(c.loBase, c.loBase);
    const wide::Int8 hi = wide::join(c.hiBase, c.hiBase);
    const wide::Float8 rowFrac = wide::join(c.rowFrac, c.rowFrac);
    const wide::Float8 inc = wide::join(c.inc, c.inc);
    // Samples t and t + 1; two single steps move both on by two, as the four-lane loop would.
    wide::Float8 p = wide::join(phase, wrapOnce(phase + c.inc, kTableLength));
    for (; t + 2 <= m; t += 2) {
      wide::store8(reinterpret_cast<float*>(osc + t), tableValues8(c.table, lo, hi, rowFrac, p));
      p = wide::wrapOnce(wide::wrapOnce(p + inc, kTableLength) + inc, kTableLength);
    }
    phase = __builtin_shufflevector(p, p, 0, 1, 2, 3);
  }
  unisonPass(c, phase, osc, t, m);
}

[[gnu::target("avx2"), gnu::always_inline]] inline void subPassEight(const VoiceConstants& c,
                                                                     float* sub, int m) noexcept {
  const wide::Int8 lo = wide::join(c.subLoBase, c.subLoBase);
  const wide::Int8 hi = wide::join(c.subHiBase, c.subHiBase);
  const wide::Float8 frac = wide::join(c.subFrac, c.subFrac);
  int t = 0;
  for (; t + 8 <= m; t += 8)
    wide::store8(sub + t, tableValues8(c.table, lo, hi, frac, wide::load8(sub + t)));
  subPass(c, sub, t, m);
}

[[gnu::target("avx2"), gnu::always_inline]] inline void
mixPassEight(const VoiceConstants& c, const Float4* osc, const float* a, const float* sub,
             float* __restrict l, float* __restrict r, int m) noexcept {
  const Float4 gainL = c.gainL, gainR = c.gainR;
  const float subGain = c.subGain;
  int t = 0;
  for (; t + 8 <= m; t += 8) {
    wide::Float8 o0 = wide::join(osc[t], osc[t + 4]), o1 = wide::join(osc[t + 1], osc[t + 5]);
    wide::Float8 o2 = wide::join(osc[t + 2], osc[t + 6]), o3 = wide::join(osc[t + 3], osc[t + 7]);
    wide::transposeHalves(o0, o1, o2, o3); // oN now holds oscillator N over eight samples
    const wide::Float8 sumL = gainL[0] * o0 + gainL[1] * o1 + o2 + gainL[3] * o3;
    const wide::Float8 sumR = gainR[0] * o0 + gainR[1] * o1 + o2 + gainR[3] * o3;
    const wide::Float8 av = wide::load8(a + t);
    const wide::Float8 subPart = av * subGain * wide::load8(sub + t);
    wide::store8(l + t, wide::load8(l + t) + (av * sumL + subPart));
    wide::store8(r + t, wide::load8(r + t) + (av * sumR + subPart));
  }
  mixPass(c, osc, a, sub, l, r, t, m);
}

#endif

// A voice's state through one block, in locals: the loops below never touch the Voice itself.
struct VoiceRun {
  VoiceConstants c;
  Float4 phase;
  float phaseSub;
  Envelope env;
};

VoiceRun startRun(const Wavetable& wavetable, const Voice& v, const VoiceBlock& block) noexcept {
  VoiceRun run;
  run.c = voiceConstants(wavetable, v, block);
  run.phase = Float4{v.phase0, v.phase1, v.phase2, v.phase3};
  run.phaseSub = v.phaseSub;
  run.env = {v.stage,        v.level,       block.attackInc,
             block.decayDec, block.sustain, v.releaseStartLevel / block.releaseTimeSr};
  return run;
}

void finishRun(const VoiceRun& run, Voice& v) noexcept {
  v.phase0 = run.phase[0];
  v.phase1 = run.phase[1];
  v.phase2 = run.phase[2];
  v.phase3 = run.phase[3];
  v.phaseSub = run.phaseSub;
  v.level = run.env.level;
  v.stage = run.env.stage;
}

// The amplitudes of up to len samples into a; returns how many sound (a release may end early).
[[gnu::always_inline]] inline int envelopePass(Envelope& env, float amp, float* a,
                                               int len) noexcept {
  int m = 0;
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
  return m;
}

// Chunks run in passes (envelope, unison, sub, mix) so that each loop keeps its values in
// registers; the mix then handles four samples per step as vectors over time.
void renderVoiceFour(const Wavetable& wavetable, Voice& v, const VoiceBlock& block,
                     float* __restrict left, float* __restrict right, int n) noexcept {
  VoiceRun run = startRun(wavetable, v, block);
  alignas(16) float a[kChunk];
  alignas(16) float sub[kChunk];
  Float4 osc[kChunk];
  for (int start = 0; start < n && run.env.stage != Stage::off; start += kChunk) {
    const int m = envelopePass(run.env, run.c.amp, a, std::min(kChunk, n - start));
    unisonPass(run.c, run.phase, osc, 0, m);
    subPhases(sub, run.phaseSub, run.c.subInc, m);
    subPass(run.c, sub, 0, m);
    mixPass(run.c, osc, a, sub, left + start, right + start, 0, m);
  }
  finishRun(run, v);
}

#if WIDE_VOICE_LOOP
// The same chunks with the eight-lane passes.
[[gnu::target("avx2")]] void renderVoiceEight(const Wavetable& wavetable, Voice& v,
                                              const VoiceBlock& block, float* __restrict left,
                                              float* __restrict right, int n) noexcept {
  VoiceRun run = startRun(wavetable, v, block);
  alignas(32) float a[kChunk];
  alignas(32) float sub[kChunk];
  alignas(32) Float4 osc[kChunk];
  for (int start = 0; start < n && run.env.stage != Stage::off; start += kChunk) {
    const int m = envelopePass(run.env, run.c.amp, a, std::min(kChunk, n - start));
    unisonPassEight(run.c, run.phase, osc, m);
    subPhases(sub, run.phaseSub, run.c.subInc, m);
    subPassEight(run.c, sub, m);
    mixPassEight(run.c, osc, a, sub, left + start, right + start, m);
  }
  finishRun(run, v);
}
#endif

} // namespace

void renderVoice(const Wavetable& wavetable, Voice& v, const VoiceBlock& block, float* left,
                 float* right, int n) noexcept {
#if WIDE_VOICE_LOOP
  if (vectorWidth() == VectorWidth::eight) {
    renderVoiceEight(wavetable, v, block, left, right, n);
    return;
  }
#endif
  renderVoiceFour(wavetable, v, block, left, right, n);
}

} // namespace quorvane::dsp
