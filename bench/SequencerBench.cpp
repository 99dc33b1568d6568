// The blues generator's render call: a steadily moving host, fills on, 512-frame buffers.
#include "BenchSetup.h"

#include "PallixAU/engine/Kernel.h"

#include <cmath>
#include <cstdint>

namespace {

using pallix::engine::ContextHolder;
using pallix::engine::Kernel;
using pallix::engine::PallixParameter;

void BM_Sequencer(benchmark::State& state) {
  Kernel kernel;
  kernel.setSampleRate(kBenchRate);
  kernel.setParameter(PallixParameter::embroidery, 1.0f);
  kernel.reset();
  double now = 0.0;
  std::int64_t notes = 0;
  ContextHolder context;
  context.midiOut = [&](AUEventSampleTime, std::uint8_t, int, const std::uint8_t*) {
    ++notes;
    return 0;
  };
  context.musicalContext = [&](double* tempo, double* n, long* d, double* beat, long* toNext,
                               double* downbeat) {
    *tempo = 120.0;
    *n = 4.0;
    *d = 4;
    *beat = now / (kBenchRate * 0.5);
    *toNext = 0;
    *downbeat = 4.0 * std::floor(*beat / 4.0);
    return true;
  };
  context.transportState = [](AUHostTransportStateFlags* flags, double*, double*, double*) {
    *flags = AUHostTransportStateMoving;
    return true;
  };
  for (auto _ : state) {
    kernel.render(AudioTimeStamp::withSampleTime(now), kBenchFrames, nullptr, nullptr, context);
    now += kBenchFrames;
  }
  benchmark::DoNotOptimize(notes);
  reportFrames(state, kBenchFrames, 0);
}
BENCHMARK(BM_Sequencer);

// The same generator with the host's transport stopped, as it sits in a session between takes.
void BM_SequencerStopped(benchmark::State& state) {
  Kernel kernel;
  kernel.setSampleRate(kBenchRate);
  kernel.reset();
  double now = 0.0;
  std::int64_t notes = 0;
  ContextHolder context;
  context.midiOut = [&](AUEventSampleTime, std::uint8_t, int, const std::uint8_t*) {
    ++notes;
    return 0;
  };
  context.musicalContext = [](double* tempo, double* n, long* d, double* beat, long* toNext,
                              double* downbeat) {
    *tempo = 120.0;
    *n = 4.0;
    *d = 4;
    *beat = *downbeat = 0.0;
    *toNext = 0;
    return true;
  };
  context.transportState = [](AUHostTransportStateFlags* flags, double*, double*, double*) {
    *flags = 0;
    return true;
  };
  for (auto _ : state) {
    kernel.render(AudioTimeStamp::withSampleTime(now), kBenchFrames, nullptr, nullptr, context);
    now += kBenchFrames;
  }
  benchmark::DoNotOptimize(notes);
  reportFrames(state, kBenchFrames, 0);
}
BENCHMARK(BM_SequencerStopped);

} // namespace
