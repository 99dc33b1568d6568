// Shared set-up for the synthesiser benchmarks: 44.1 kHz, 512-frame calls.
#pragma once

#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"

#include <benchmark/benchmark.h>

#include <vector>

inline constexpr int kBenchFrames = 512;
inline constexpr double kBenchRate = 44100.0;

// Notes of a wide chord, enough for every voice.
inline void holdNotes(quorvane::dsp::QuorvaneDSPKernel& k, int count) {
  for (int i = 0; i < count; ++i)
    k.noteOn(static_cast<std::uint8_t>(36 + 3 * i), 100);
}

// Frames per second of wall time and the cost per frame, the units the targets use.
inline void reportFrames(benchmark::State& state, int framesPerIteration, int voices) {
  const double frames = static_cast<double>(state.iterations()) * framesPerIteration;
  state.counters["ns/frame"] =
      benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["ms/s audio"] = benchmark::Counter(
      frames / (kBenchRate * 1000.0), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  if (voices > 0)
    state.counters["ns/voice-sample"] = benchmark::Counter(
        frames * voices, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
