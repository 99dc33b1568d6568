// Audits render calls: the wrapper, scheduled MIDI, observers and parameter changes must not
// allocate, free, lock, sleep or do I/O. The engine's pull is audited where the app's graph is
// (tests/support/RenderPathAuditTest.cpp), the only place it runs.
#include "tests/support/HostRig.h"
#include "tests/support/TestUnit.h"

#include "platform/audiounit/RenderEventList.h"

#include "RealtimeAudit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

// The audit itself sees each kind of call it counts (the sanitizers' builds: the heap alone).
TEST(RealtimeAudit, SeesEveryKindOfCall) {
  std::mutex mutex;
  const timespec zero{};
  std::FILE* const sink = std::fopen("/dev/null", "w");
  ASSERT_TRUE(sink);
  const auto everyKind = [&] {
    ::operator delete(::operator new(16));
    void* volatile block = std::malloc(16);
    std::free(block);
    mutex.lock();
    mutex.unlock();
    nanosleep(&zero, nullptr);
    std::fputs("x", sink);
  };
  everyKind(); // the first calls look their functions up
  resetRealtimeCounts();
  gCounting = true;
  everyKind();
  gCounting = false;
  std::fclose(sink);
  const long heap = auditsSystemCalls() ? 2 : 1, system = auditsSystemCalls() ? 1 : 0;
  EXPECT_EQ(realtimeCounts(), (RealtimeCounts{heap, heap, system, 2 * system}));
}

TEST(RealtimeAudit, RenderCallsWithScheduledMIDIObserversAndParametersMakeNone) {
  auto probe = std::make_shared<Probe>();
  auto unit = allocatedUnit(probe, 256);
  auto schedule = unit->scheduleMIDIEventBlock();
  auto gain = unit->parameterTree()->parameterWithAddress(0);
  unit->parameterTree()->tokenByAddingParameterObserver([](AUParameterAddress, AUValue) {});
  std::int64_t observed = 0;
  unit->tokenByAddingRenderObserver(
      [&](AudioUnitRenderActionFlags flags, const AudioTimeStamp* stamp, AUAudioFrameCount, long) {
        if (flags & kAudioUnitRenderAction_PreRender) {
          const std::uint8_t on[3] = {0x90, 64, 90};
          schedule(AUEventSampleTime(stamp->mSampleTime) + 7, 0, 3, on);
        }
        ++observed;
      });
  RenderEventList hostEvents(64);
  HostRig render(*unit, 4096, false);
  resetRealtimeCounts();
  gCounting = true;
  render.at(0, 256); // the first call too
  for (int n = 0; n < 200; ++n) {
    const double time = 256.0 * (n + 1);
    const std::uint8_t bend[3] = {0xE0, 0, std::uint8_t(n & 0x7F)};
    schedule(AUEventSampleTimeImmediate, 0, 3, bend);
    schedule(AUEventSampleTime(time) + 300, 0, 3, bend); // waits for the next call
    hostEvents.clear();
    hostEvents.addParameter(AUEventSampleTime(time), 1, 0.5f);
    hostEvents.addMIDI(AUEventSampleTime(time) + 9, 0, bend, 3);
    gain->setValue(float(n % 3));
    probe->events.clear();
    render.at(time, AUAudioFrameCount(1 + n % 256), hostEvents.head());
  }
  render.at(0, 257); // refused
  gCounting = false;
  EXPECT_EQ(realtimeCounts(), RealtimeCounts{});
  EXPECT_EQ(observed, 2 * 201);
  EXPECT_EQ(unit->droppedMIDIEventCount(), 0u);
}
