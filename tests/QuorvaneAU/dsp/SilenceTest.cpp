// Skipping silence: a kernel that skips silent blocks and one forced to render them in full give
// the same output bit for bit, through long gaps, echo and reverb tails, parameter changes in the
// silence and notes that start on the first skipped block; and the delay and reverb refuse a skip
// over anything but +0.
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "QuorvaneAU/dsp/SimpleDelayKernel.h"
#include "QuorvaneAU/dsp/VelvetReverberator.h"
#include "SignalTools.h"
#include "platform/audiounit/DenormalGuard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using quorvane::dsp::QuorvaneDSPKernel, quorvane::dsp::QuorvaneParameter;
using quorvane::dsp::SimpleDelayKernel, quorvane::dsp::VelvetEchoes,
    quorvane::dsp::VelvetReverberator;
using P = QuorvaneParameter;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// Something done to the kernel before the frame at `second`.
struct Event {
  double second;
  std::function<void(QuorvaneDSPKernel&)> apply;
};

Event chordOn(double second, int notes = 4) {
  return {second, [notes](QuorvaneDSPKernel& k) {
            for (int i = 0; i < notes; ++i)
              k.noteOn(static_cast<std::uint8_t>(48 + 4 * i), 100);
          }};
}
Event allOff(double second) {
  return {second, [](QuorvaneDSPKernel& k) { k.allNotesOff(); }};
}
Event set(double second, P p, float value) {
  return {second, [p, value](QuorvaneDSPKernel& k) { k.setParameter(p, value); }};
}

struct Rendering {
  Stereo out;
  std::vector<int> skippedStarts; // first frames of the blocks that skipped
};

// Renders in calls of `block` frames, split at event frames as the unit splits them.
Rendering renderScript(bool skipping, double rate, int block, double seconds,
                       const std::vector<std::pair<P, float>>& settings,
                       std::vector<Event> events) {
  const DenormalGuard denormals; // as in a unit: tails end in zeros
  PreparedKernel k(rate, block);
  k.setSilenceSkipping(skipping);
  for (auto [p, v] : settings)
    k.setParameter(p, v);
  const int total = static_cast<int>(seconds * rate);
  Rendering run{{std::vector<float>(total), std::vector<float>(total)}, {}};
  std::size_t next = 0;
  for (int done = 0; done < total;) {
    for (; next < events.size() && static_cast<int>(events[next].second * rate) <= done; ++next)
      events[next].apply(k);
    int end = std::min(done + block, total);
    if (next < events.size())
      end = std::min(end, std::max(done + 1, static_cast<int>(events[next].second * rate)));
    k.renderFrames(run.out.left.data() + done, run.out.right.data() + done, end - done);
    if (k.lastBlockSkipped())
      run.skippedStarts.push_back(done);
    done = end;
  }
  return run;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

struct Script {
  std::string name;
  double rate;
  int block;
  double seconds;
  double skipsBefore; // the second chord: the silence before it must be skipped
  std::vector<std::pair<P, float>> settings;
  std::vector<Event> events;
};

std::vector<Script> scripts() {
  // Each gap outlasts its tails: the echo below 2^-126 and four seconds of zeros after it, the
  // reverb likewise and two seconds after.
  const std::vector<std::pair<P, float>> echoes = {
      {P::echo, 0.5f},          {P::echoTime, 0.1f},  {P::space, 0.3f},
      {P::filterRolloff, 1.0f}, {P::resonance, 0.5f},
  };
  return {
      Script("long gap between chords, full chain", 22050.0, 512, 23.0, 20.0, echoes,
             {chordOn(0.0), allOff(0.5), chordOn(20.0, 6), allOff(21.0)}),
      Script("every modulation on, odd block size", 11025.0, 37, 19.0, 16.0, {},
             {{0.0, applyFullChain},
              set(0.0, P::space, 0.2f),
              chordOn(0.0),
              allOff(0.3),
              chordOn(16.0),
              allOff(17.0)}),
      Script("single-frame calls around the second chord", 4000.0, 1, 10.0, 9.0, {},
             {chordOn(0.0, 2), allOff(0.2), chordOn(9.0, 2), allOff(9.5)}),
      Script("long blocks past the filter's cap", 8000.0, 20000, 14.0, 11.0, {{P::echo, 0.3f}},
             {chordOn(0.0), allOff(0.2), chordOn(11.0), allOff(12.0)}),
      // The tails are gone by about 18 s; then each change meets a skipping kernel: a delay
      // glide, new reverb amplitudes, the second filter stage off and back, gains of 0 and -1.
      Script("settings changed in the silence", 8000.0, 256, 38.0, 20.0,
             {
                 {P::echo, 0.2f},
                 {P::echoTime, 0.3f},
                 {P::space, 0.3f},
                 {P::filterRolloff, 1.0f},
                 {P::resonance, 0.5f},
             },
             {chordOn(0.0), allOff(0.3), set(20.0, P::echoTime, 1.2f), set(22.0, P::space, 0.1f),
              set(24.0, P::filterRolloff, 0.0f), set(26.0, P::filterRolloff, 1.0f),
              set(28.0, P::drive, 0.0f), set(30.0, P::drive, -1.0f), set(32.0, P::drive, 1.0f),
              chordOn(36.0), allOff(37.0)}),
  };
}

} // namespace

TEST(SilenceSkipping, GivesTheSameOutputAsFullRendering) {
#if defined(__SANITIZE_THREAD__)
  // Two minutes of audio rendered twice on one thread: nothing for the thread checker to see,
  // and far beyond any timeout at its speed. Every other build runs it.
  GTEST_SKIP() << "single-threaded renders, too long under the thread checker";
#endif
  for (const Script& s : scripts()) {
    SCOPED_TRACE(s.name);
    const Rendering skipping = renderScript(true, s.rate, s.block, s.seconds, s.settings, s.events);
    const Rendering full = renderScript(false, s.rate, s.block, s.seconds, s.settings, s.events);
    ASSERT_FALSE(skipping.skippedStarts.empty()) << "the silence was never skipped";
    EXPECT_LT(skipping.skippedStarts.front(), static_cast<int>(s.skipsBefore * s.rate));
    EXPECT_TRUE(full.skippedStarts.empty());
    EXPECT_TRUE(sameBits(skipping.out.left, full.out.left));
    EXPECT_TRUE(sameBits(skipping.out.right, full.out.right));
  }
}

// A chord on the very call where skipping would begin, and on the call after the first skip.
TEST(SilenceSkipping, NotesOnTheFirstSkippedCallSoundAsWithout) {
  const double rate = 11025.0;
  const int block = 300;
  const std::vector<std::pair<P, float>> settings = {{P::echo, 0.4f}, {P::space, 0.1f}};
  const std::vector<Event> release = {chordOn(0.0), allOff(0.25)};
  const Rendering probe = renderScript(true, rate, block, 20.0, settings, release);
  ASSERT_FALSE(probe.skippedStarts.empty());
  const int first = probe.skippedStarts.front();
  for (const int frame : {first, first + block}) {
    SCOPED_TRACE(frame);
    std::vector<Event> events = release;
    events.push_back(chordOn(frame / rate + 1e-9));
    events.push_back(allOff(frame / rate + 0.5));
    const double seconds = frame / rate + 3.0;
    const Rendering skipping = renderScript(true, rate, block, seconds, settings, events);
    const Rendering full = renderScript(false, rate, block, seconds, settings, events);
    EXPECT_TRUE(sameBits(skipping.out.left, full.out.left));
    EXPECT_TRUE(sameBits(skipping.out.right, full.out.right));
  }
}

TEST(SilenceSkipping, StagesRefuseWhatIsNotSilence) {
  SimpleDelayKernel delay;
  delay.prepare(1000.0);
  EXPECT_TRUE(delay.skipSilence(10)); // fresh: all +0
  std::vector<float> x(10, 0.0f);
  x[3] = -0.0f; // written as it came: a -0 is not +0
  delay.process(x.data(), 10);
  EXPECT_FALSE(delay.skipSilence(10));
  SimpleDelayKernel fed;
  fed.prepare(1000.0);
  fed.setFeedback(kInf); // ∞·(+0) is NaN
  EXPECT_FALSE(fed.skipSilence(10));

  VelvetEchoes echoes;
  echoes.seed(1, 2);
  echoes.prepare(1000.0);
  VelvetReverberator reverb;
  reverb.prepare(echoes.loopLength());
  EXPECT_TRUE(reverb.skipSilence(10, true));
  EXPECT_FALSE(reverb.skipSilence(10, false)); // NaN taps would write NaN into the buffer
  echoes.setReverbTime(NAN);
  EXPECT_FALSE(echoes.amplitudesFinite());
  echoes.setReverbTime(2.0f);
  EXPECT_TRUE(echoes.amplitudesFinite());
  reverb.setFeedback(kInf); // ∞·(+0) is NaN
  EXPECT_FALSE(reverb.skipSilence(10, true));
}
