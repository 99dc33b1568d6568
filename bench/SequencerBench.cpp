// The blues generator's render call, 512-frame buffers: a steadily moving host with fills on, and
// a stopped transport.
#include "BenchSetup.h"

#include "PallixAU/engine/Kernel.h"

#include <cmath>
#include <cstdint>

namespace {

using pallix::engine::ContextHolder;
using pallix::engine::Kernel;
using pallix::engine::PallixParameter;

// At 120 BPM in 4/4; a stopped host answers beat 0.
void renderGenerator(benchmark::State& state, bool moving) {
  Kernel kernel;
  kernel.setSampleRate(kBenchRate);
  if (moving)
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
    *beat = moving ? now / (kBenchRate * 0.5) : 0.0;
    *toNext = 0;
    *downbeat = 4.0 * std::floor(*beat / 4.0);
    return true;
  };
  context.transportState = [moving](AUHostTransportStateFlags* flags, double*, double*, double*) {
    *flags = moving ? AUHostTransportStateMoving : 0;
    return true;
  };
  for (auto _ : state) {
    kernel.render(AudioTimeStamp::withSampleTime(now), kBenchFrames, nullptr, nullptr, context);
    now += kBenchFrames;
  }
  benchmark::DoNotOptimize(notes);
  reportFrames(state, kBenchFrames, 0);
}

void BM_Sequencer(benchmark::State& state) { renderGenerator(state, true); }
BENCHMARK(BM_Sequencer);

// As it sits in a session between takes.
void BM_SequencerStopped(benchmark::State& state) { renderGenerator(state, false); }
BENCHMARK(BM_SequencerStopped);

} // namespace
