// The whole render call: chords of held voices with the output chain off and on.
#include "BenchSetup.h"

namespace {

using quorvane::dsp::QuorvaneDSPKernel;
using quorvane::dsp::QuorvaneParameter;

void fullChain(QuorvaneDSPKernel& k) {
  k.setParameter(QuorvaneParameter::echo, 0.5f);
  k.setParameter(QuorvaneParameter::echoTime, 0.3f);
  k.setParameter(QuorvaneParameter::space, 0.5f);
  k.setParameter(QuorvaneParameter::filterRolloff, 1.0f);
  k.setParameter(QuorvaneParameter::resonance, 0.5f);
}

// Arguments: held voices, and whether the delay, reverb and 24 dB filter are on.
// (a) 16 voices dry: echo 0, space 0; (b) 16 voices, echo 0.5 at 0.3 s, space 0.5, 24 dB
// low-pass at resonance 0.5; (c) one voice with the same chain. No DenormalGuard: the held
// notes never decay into denormals, so the calls cost what they cost in a unit.
void BM_Kernel(benchmark::State& state) {
  const int voices = static_cast<int>(state.range(0));
  QuorvaneDSPKernel k;
  k.seed(1, 2, 3);
  k.prepare(kBenchFrames, kBenchRate);
  if (state.range(1) != 0)
    fullChain(k);
  holdNotes(k, voices);
  std::vector<float> left(kBenchFrames), right(kBenchFrames);
  for (auto _ : state) {
    k.renderFrames(left.data(), right.data(), kBenchFrames);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
  }
  reportFrames(state, kBenchFrames, voices);
}
BENCHMARK(BM_Kernel)->ArgNames({"voices", "chain"})->Args({16, 0})->Args({16, 1})->Args({1, 1});

} // namespace
