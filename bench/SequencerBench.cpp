// The blues generator's render call, 512-frame buffers: a steadily moving host with fills on, and
// a stopped transport.
#include "BenchSetup.h"

#include "PallixAU/engine/Kernel.h"

#include <cmath>
#include <cstdint>

namespace {

using pallix::engine::HostPosition;
using pallix::engine::Kernel;
using pallix::engine::MidiSink;
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
  const MidiSink count{[](void* target, std::int64_t, const std::uint8_t*, int) noexcept {
                         ++*static_cast<std::int64_t*>(target);
                       },
                       &notes};
  for (auto _ : state) {
    const double beat = moving ? now / (kBenchRate * 0.5) : 0.0;
    const HostPosition position{true, 120.0, 4.0, 4, beat, 0, 4.0 * std::floor(beat / 4.0),
                                true, moving};
    kernel.render(now, kBenchFrames, position, count);
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
