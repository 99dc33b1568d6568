// Each stage of the render call alone: the voice loop, the filter, the delay, the reverb.
#include "BenchSetup.h"

#include "QuorvaneAU/dsp/OscillatorBank.h"
#include "QuorvaneAU/dsp/VoiceRenderer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using quorvane::dsp::BankInputs;
using quorvane::dsp::IIRKernel;
using quorvane::dsp::QuorvaneDSPKernel;
using quorvane::dsp::SimpleDelayKernel;
using quorvane::dsp::VelvetEchoes;
using quorvane::dsp::VelvetReverberator;
using quorvane::dsp::Voice;
using quorvane::dsp::VoiceBlock;
using quorvane::dsp::Wavetable;

std::vector<float> testSignal() {
  std::vector<float> x(kBenchFrames);
  for (int i = 0; i < kBenchFrames; ++i)
    x[static_cast<std::size_t>(i)] = 0.5f * std::sin(0.05f * static_cast<float>(i));
  return x;
}

// Runs a stereo in-place stage over a fresh copy of the test signal each block.
template <typename Stage> void runStereoStage(benchmark::State& state, Stage process) {
  const std::vector<float> input = testSignal();
  std::vector<float> left(kBenchFrames), right(kBenchFrames);
  for (auto _ : state) {
    left = input;
    right = input;
    process(left.data(), right.data());
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
  }
  reportFrames(state, kBenchFrames, 0);
}

// 16 held voices in their sustain, with spread rows and detune so every lane blends two rows.
void BM_StageVoices(benchmark::State& state) {
  const Wavetable& table = Wavetable::shared();
  QuorvaneDSPKernel k;
  k.prepare(kBenchFrames, kBenchRate);
  holdNotes(k, 16);
  std::array<Voice, QuorvaneDSPKernel::kVoiceCount> voices = k.snapshot().voices;
  BankInputs in;
  in.shape = 0.4f;
  in.rowSpread = 0.6f;
  in.detuneSpread = 0.3f;
  VoiceBlock block;
  block.bank = quorvane::dsp::computeBankConstants(in);
  block.sustain = 0.7f;
  block.attackInc = 1.0f / (0.005f * static_cast<float>(kBenchRate));
  block.decayDec = (1.0f - block.sustain) / (0.08f * static_cast<float>(kBenchRate));
  block.releaseTimeSr = 0.25f * static_cast<float>(kBenchRate);
  block.subGain = 1.0f;
  std::vector<float> left(kBenchFrames), right(kBenchFrames);
  const auto renderAll = [&] {
    std::fill(left.begin(), left.end(), 0.0f);
    std::fill(right.begin(), right.end(), 0.0f);
    for (Voice& v : voices)
      quorvane::dsp::renderVoice(table, v, block, left.data(), right.data(), kBenchFrames);
  };
  for (int i = 0; i < 20; ++i) // through attack and decay
    renderAll();
  for (auto _ : state) {
    renderAll();
    benchmark::DoNotOptimize(left.data());
  }
  reportFrames(state, kBenchFrames, 16);
}
BENCHMARK(BM_StageVoices);

// Stereo 24 dB/octave: four biquads.
void BM_StageFilter(benchmark::State& state) {
  IIRKernel filters[4];
  for (IIRKernel& f : filters) {
    f.prepare(kBenchRate);
    f.setLowPass(2000.0, 2.0);
  }
  runStereoStage(state, [&](float* left, float* right) {
    filters[0].process(left, kBenchFrames);
    filters[1].process(right, kBenchFrames);
    filters[2].process(left, kBenchFrames);
    filters[3].process(right, kBenchFrames);
  });
}
BENCHMARK(BM_StageFilter);

void BM_StageDelay(benchmark::State& state) {
  SimpleDelayKernel delays[2];
  for (SimpleDelayKernel& d : delays) {
    d.prepare(kBenchRate);
    d.setDelay(0.3f);
    d.setFeedback(0.35f);
  }
  runStereoStage(state, [&](float* left, float* right) {
    delays[0].process(left, kBenchFrames);
    delays[1].process(right, kBenchFrames);
  });
}
BENCHMARK(BM_StageDelay);

void BM_StageReverb(benchmark::State& state) {
  VelvetEchoes echoes;
  echoes.seed(11, 12);
  echoes.prepare(kBenchRate);
  echoes.setReverbTime(2.2f);
  VelvetReverberator reverbs[2];
  for (VelvetReverberator& r : reverbs) {
    r.prepare(echoes.loopLength());
    r.setFeedback(0.5f);
    r.setDamping(0.5f);
  }
  runStereoStage(state, [&](float* left, float* right) {
    reverbs[0].process(left, kBenchFrames, echoes.left());
    reverbs[1].process(right, kBenchFrames, echoes.right());
  });
}
BENCHMARK(BM_StageReverb);

} // namespace
