// The whole render call: chords of held voices with the output chain off and on.
#include "BenchSetup.h"

namespace {

void renderLoop(benchmark::State& state, QuorvaneDSPKernel& k, int voices) {
  std::vector<float> left(kBenchFrames), right(kBenchFrames);
  for (auto _ : state) {
    k.renderFrames(left.data(), right.data(), kBenchFrames);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
  }
  reportFrames(state, kBenchFrames, voices);
}

void fullChain(QuorvaneDSPKernel& k) {
  setParameter(k, QuorvaneParameter::echo, 0.5f);
  setParameter(k, QuorvaneParameter::echoTime, 0.3f);
  setParameter(k, QuorvaneParameter::space, 0.5f);
  setParameter(k, QuorvaneParameter::filterRolloff, 1.0f);
  setParameter(k, QuorvaneParameter::resonance, 0.5f);
  setParameter(k, QuorvaneParameter::frequency, 0.7f);
}

// (a) 16 held voices, echo 0, space 0.
void BM_Kernel16VoicesDry(benchmark::State& state) {
  QuorvaneDSPKernel k;
  k.seed(1, 2, 3);
  k.prepare(kBenchFrames, kBenchRate);
  holdNotes(k, 16);
  renderLoop(state, k, 16);
}
BENCHMARK(BM_Kernel16VoicesDry);

// (b) 16 held voices, echo 0.5 at 0.3 s, space 0.5, 24 dB low-pass at resonance 0.5.
void BM_Kernel16VoicesFullChain(benchmark::State& state) {
  QuorvaneDSPKernel k;
  k.seed(1, 2, 3);
  k.prepare(kBenchFrames, kBenchRate);
  fullChain(k);
  holdNotes(k, 16);
  renderLoop(state, k, 16);
}
BENCHMARK(BM_Kernel16VoicesFullChain);

// (c) one voice, full chain.
void BM_Kernel1VoiceFullChain(benchmark::State& state) {
  QuorvaneDSPKernel k;
  k.seed(1, 2, 3);
  k.prepare(kBenchFrames, kBenchRate);
  fullChain(k);
  holdNotes(k, 1);
  renderLoop(state, k, 1);
}
BENCHMARK(BM_Kernel1VoiceFullChain);

} // namespace
