// The whole render call: chords of held voices with the output chain off and on; and the
// unit's render block, plain and with dense events.
#include "BenchSetup.h"
#include "QuorvaneAU/unit/QuorvaneRenderBlock.h"
#include "platform/audiounit/DenormalGuard.h"
#include "platform/audiounit/RenderEventList.h"

#include <algorithm>
#include <cstdint>
#include <memory>

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

// Silence, with the full chain's settings: (a) a kernel that has played nothing since prepare;
// (b) one whose 16-note chord was released a minute of audio ago, its echo and reverb tails long
// since gone. Under a DenormalGuard, as in a unit, so tails end in zeros as they do there. The
// figure to compare is the ratio to BM_Kernel/voices:16/chain:1 of the same run.
void BM_KernelIdle(benchmark::State& state) {
  const DenormalGuard denormals;
  QuorvaneDSPKernel k;
  k.seed(1, 2, 3);
  k.prepare(kBenchFrames, kBenchRate);
  fullChain(k);
  std::vector<float> left(kBenchFrames), right(kBenchFrames);
  if (state.range(0) != 0) {
    holdNotes(k, QuorvaneDSPKernel::kVoiceCount);
    const int blocksPerSecond = static_cast<int>(kBenchRate) / kBenchFrames;
    for (int i = 0; i < blocksPerSecond; ++i)
      k.renderFrames(left.data(), right.data(), kBenchFrames);
    k.allNotesOff();
    for (int i = 0; i < 60 * blocksPerSecond; ++i)
      k.renderFrames(left.data(), right.data(), kBenchFrames);
  }
  for (auto _ : state) {
    k.renderFrames(left.data(), right.data(), kBenchFrames);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
  }
  reportFrames(state, kBenchFrames, 0);
}
BENCHMARK(BM_KernelIdle)->ArgName("afterChord")->Arg(0)->Arg(1);

// The unit's render block over 16 held voices: a plain call, and one with 32 events spread over
// it (pitch bend, channel pressure, note on and note off in turn), which the block renders in
// 32 pieces, each with the kernel's whole per-call work, and whose new notes run their
// envelopes sample by sample. Arguments: events, and the chain as above.
void BM_RenderBlock(benchmark::State& state) {
  const int eventCount = static_cast<int>(state.range(0));
  auto kernel = std::make_shared<QuorvaneDSPKernel>();
  kernel->seed(1, 2, 3);
  kernel->prepare(kBenchFrames, kBenchRate);
  if (state.range(1) != 0)
    fullChain(*kernel);
  holdNotes(*kernel, QuorvaneDSPKernel::kVoiceCount);
  auto buffers = std::make_shared<quorvane::unit::QuorvaneRenderBuffers>();
  buffers->allocate(kBenchFrames);
  const AUInternalRenderBlock block = quorvane::unit::makeQuorvaneRenderBlock(kernel, buffers);

  RenderEventList events(static_cast<std::size_t>(std::max(eventCount, 1)));
  for (int i = 0; i < eventCount; ++i) {
    const auto note = [i](int shift) {
      return static_cast<std::uint8_t>(36 + 3 * ((i + shift) % 16));
    };
    const std::uint8_t value = static_cast<std::uint8_t>(i * 4 % 128);
    const std::uint8_t messages[4][3] = {
        {0xE0, 0, value}, {0xD0, value, 0}, {0x90, note(0), 100}, {0x80, note(8), 0}};
    events.addMIDI(i * kBenchFrames / eventCount, 0, messages[i % 4], i % 4 == 1 ? 2 : 3);
  }

  std::vector<float> left(kBenchFrames), right(kBenchFrames);
  float* channels[2] = {left.data(), right.data()};
  AudioBufferList output = AudioBufferList::forChannels(channels, 2, kBenchFrames);
  const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(0.0);
  const AURenderPullInputBlock noInput;
  for (auto _ : state) {
    AudioUnitRenderActionFlags flags = 0;
    block(&flags, &stamp, kBenchFrames, 0, &output, events.head(), noInput);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
  }
  reportFrames(state, kBenchFrames, QuorvaneDSPKernel::kVoiceCount);
}
BENCHMARK(BM_RenderBlock)
    ->ArgNames({"events", "chain"})
    ->Args({0, 0})
    ->Args({32, 0})
    ->Args({0, 1})
    ->Args({32, 1});

// The cost per second of audio by call length, the figure to compare being the ratio to the
// 512-frame call of the same run: 16 held voices through the full chain. Arguments: frames per
// call, and events: for the kernel, a pitch bend before every call; for the render block, one
// pitch-bend event at the middle frame, which splits the call in two.
constexpr int kLongestCall = 4096;

void bySize(benchmark::internal::Benchmark* b) {
  b->ArgNames({"frames", "events"});
  for (int events : {0, 1})
    for (int frames : {16, 32, 64, 128, 256, 512, 1024, kLongestCall})
      b->Args({frames, events});
}

void BM_KernelBySize(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const bool bend = state.range(1) != 0;
  QuorvaneDSPKernel k;
  k.seed(1, 2, 3);
  k.prepare(kLongestCall, kBenchRate);
  fullChain(k);
  holdNotes(k, QuorvaneDSPKernel::kVoiceCount);
  std::vector<float> left(kLongestCall), right(kLongestCall);
  int call = 0;
  for (auto _ : state) {
    if (bend)
      k.setPitchBend((call++ & 1) != 0 ? 0.25f : -0.25f);
    k.renderFrames(left.data(), right.data(), frames);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
  }
  reportFrames(state, frames, QuorvaneDSPKernel::kVoiceCount);
}
BENCHMARK(BM_KernelBySize)->Apply(bySize);

void BM_RenderBlockBySize(benchmark::State& state) {
  const auto frames = static_cast<AUAudioFrameCount>(state.range(0));
  auto kernel = std::make_shared<QuorvaneDSPKernel>();
  kernel->seed(1, 2, 3);
  kernel->prepare(kLongestCall, kBenchRate);
  fullChain(*kernel);
  holdNotes(*kernel, QuorvaneDSPKernel::kVoiceCount);
  auto buffers = std::make_shared<quorvane::unit::QuorvaneRenderBuffers>();
  buffers->allocate(kLongestCall);
  const AUInternalRenderBlock block = quorvane::unit::makeQuorvaneRenderBlock(kernel, buffers);

  std::vector<float> left(kLongestCall), right(kLongestCall);
  float* channels[2] = {left.data(), right.data()};
  AudioBufferList output = AudioBufferList::forChannels(channels, 2, frames);
  // Every call at time 0, so two lists made once serve all calls: bends up and down in turn.
  const std::uint8_t bends[2][3] = {{0xE0, 0, 0x50}, {0xE0, 0, 0x30}};
  RenderEventList events[2] = {RenderEventList(1), RenderEventList(1)};
  for (int i = 0; i < 2; ++i)
    events[i].addMIDI(frames / 2, 0, bends[i], 3);
  const bool withEvents = state.range(1) != 0;
  const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(0.0);
  const AURenderPullInputBlock noInput;
  int call = 0;
  for (auto _ : state) {
    AudioUnitRenderActionFlags flags = 0;
    block(&flags, &stamp, frames, 0, &output, withEvents ? events[call++ & 1].head() : nullptr,
          noInput);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
  }
  reportFrames(state, static_cast<int>(frames), QuorvaneDSPKernel::kVoiceCount);
}
BENCHMARK(BM_RenderBlockBySize)->Apply(bySize);

} // namespace
