// The render-block wrapper (its order of work, refusals, scheduled MIDI and observers) and the
// render-event list builder.
#include "tests/support/HostRig.h"
#include "tests/support/TestUnit.h"

#include "platform/audiounit/RenderEventList.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using Timeline = std::vector<std::pair<AUEventSampleTime, int>>;

std::vector<std::pair<AUEventSampleTime, AUValue>> contents(const AURenderEvent* event) {
  std::vector<std::pair<AUEventSampleTime, AUValue>> out;
  for (; event != nullptr; event = event->head.next)
    out.emplace_back(event->head.eventSampleTime, event->head.eventType == AURenderEventMIDI
                                                      ? -event->MIDI.data[1]
                                                      : event->parameter.value);
  return out;
}

struct RenderBlock : ::testing::Test {
  std::shared_ptr<Probe> probe = std::make_shared<Probe>();
  std::shared_ptr<TestUnit> unit = allocatedUnit(probe, 512);
  HostRig render{*unit, 4096, false};
  AUScheduleMIDIEventBlock schedule = unit->scheduleMIDIEventBlock();

  void note(AUEventSampleTime time, std::uint8_t key) {
    const std::uint8_t bytes[3] = {0x90, key, 100};
    schedule(time, 0, 3, bytes);
  }
  // Each received event's time and key, or minus the value of a parameter.
  Timeline received() const {
    Timeline out;
    for (const auto& e : probe->events)
      out.emplace_back(e.time, e.type == AURenderEventMIDI ? e.bytes[1] : -int(e.value));
    return out;
  }
};
} // namespace

TEST_F(RenderBlock, RunsPreObserversHandOverUnitAndPostObserversInOrder) {
  std::string trace;
  std::vector<AudioUnitRenderActionFlags> flags;
  unit->tokenByAddingRenderObserver([&](AudioUnitRenderActionFlags f, const AudioTimeStamp* stamp,
                                        AUAudioFrameCount frames, long) {
    flags.push_back(f);
    EXPECT_EQ(stamp->mSampleTime, 1000.0);
    EXPECT_EQ(frames, 256u);
    if (f & kAudioUnitRenderAction_PreRender) {
      trace += "pre ";
      note(AUEventSampleTimeImmediate, 60); // reaches this very call
    } else {
      trace += "post";
    }
  });
  probe->onRender = [&] { trace += "render "; };

  ASSERT_EQ(render.at(1000, 256), noErr);
  EXPECT_EQ(trace, "pre render post");
  EXPECT_EQ(received(), (Timeline{{1000, 60}}));

  // Post-render observers are told of the unit's error.
  probe->status = -99;
  EXPECT_EQ(render.at(1000, 256), -99);
  EXPECT_EQ(
      flags,
      (std::vector<AudioUnitRenderActionFlags>{
          4, 8, 4, kAudioUnitRenderAction_PostRender | kAudioUnitRenderAction_PostRenderError}));
}
TEST_F(RenderBlock, RefusesCallsItCannotServeWithoutRunningAnything) {
  int observed = 0;
  unit->tokenByAddingRenderObserver([&](auto...) { ++observed; });
  note(AUEventSampleTimeImmediate, 60);

  EXPECT_EQ(render.at(0, 513), kAudioUnitErr_TooManyFramesToProcess);
  EXPECT_EQ(observed, 0);
  EXPECT_TRUE(probe->callTimes.empty());

  // The refused call took nothing: the note arrives with the next call that runs.
  EXPECT_EQ(render.at(0, 512), noErr);
  EXPECT_EQ(probe->events.size(), 1u);

  // A limit set while allocated waits for the next allocation.
  unit->setMaximumFramesToRender(1024);
  EXPECT_EQ(render.at(0, 1024), kAudioUnitErr_TooManyFramesToProcess);
  unit->deallocateRenderResources();
  EXPECT_EQ(render.at(0, 16), kAudioUnitErr_Uninitialized);
  ASSERT_TRUE(unit->allocateRenderResources());
  EXPECT_EQ(render.at(0, 1024), noErr);

  AudioUnitRenderActionFlags flags = 0;
  EXPECT_EQ(render.block(&flags, nullptr, 16, 0, nullptr, nullptr, render.noInput),
            kAudio_ParamError);

  // A block the host still holds refuses once the unit is gone.
  unit.reset();
  EXPECT_EQ(render.at(0, 16), kAudioUnitErr_Uninitialized);
  EXPECT_EQ(observed, 4); // before and after each of the two calls that ran
}

TEST_F(RenderBlock, ScheduledEventsWaitForTheCallThatContainsThem) {
  note(600, 2);                              // second call
  note(100, 1);                              // first call
  note(AUEventSampleTimeImmediate + 700, 3); // 700 after the next call's start: second call
  note(1030, 4);                             // third call
  ASSERT_EQ(render.at(0, 512), noErr);
  EXPECT_EQ(received(), (Timeline{{100, 1}}));
  note(5, 5); // already past: stamped with the call's first sample
  ASSERT_EQ(render.at(512, 512), noErr);
  EXPECT_EQ(probe->events.size(), 4u);
  ASSERT_EQ(render.at(1024, 512), noErr);
  EXPECT_EQ(received(), (Timeline{{100, 1}, {512, 5}, {600, 2}, {700, 3}, {1030, 4}}));
}

TEST_F(RenderBlock, ScheduledEventsMergeIntoTheHostsListInTimeOrder) {
  RenderEventList host(8);
  const std::uint8_t off[3] = {0x80, 70, 0};
  host.addParameter(100, 0, 3);
  host.addMIDI(110, 0, off, 3);
  host.addMIDI(120, 0, off, 3);
  note(110, 11); // tie with a host event: after it
  note(115, 12);
  note(AUEventSampleTimeImmediate, 13); // the call's first sample
  ASSERT_EQ(render.at(100, 64, host.head()), noErr);

  EXPECT_EQ(received(),
            (Timeline{{100, -3}, {100, 13}, {110, 70}, {110, 11}, {115, 12}, {120, 70}}));
}

TEST_F(RenderBlock, AFullQueueDropsAndCountsWhatDoesNotFit) {
  for (int i = 0; i < 1024; ++i)
    note(AUEventSampleTimeImmediate, std::uint8_t(i & 0x7F));
  EXPECT_EQ(unit->droppedMIDIEventCount(), 0u);
  note(AUEventSampleTimeImmediate, 1);
  const std::uint8_t four[4] = {0xF0, 1, 2, 0xF7};
  schedule(0, 0, 4, four);    // only 1 ... 3 bytes
  schedule(0, 0, 0, nullptr); // nothing
  EXPECT_EQ(unit->droppedMIDIEventCount(), 3u);

  ASSERT_EQ(render.at(0, 64), noErr);
  ASSERT_EQ(probe->events.size(), 1024u);
  for (int i = 0; i < 1024; ++i)
    ASSERT_EQ(probe->events[std::size_t(i)].bytes[1], i & 0x7F);
  note(AUEventSampleTimeImmediate, 9); // room again
  EXPECT_EQ(unit->droppedMIDIEventCount(), 3u);
}

TEST_F(RenderBlock, RemovedRenderObserversStopAndTokensStayUnique) {
  int a = 0, b = 0;
  const AUObserverToken tokenA = unit->tokenByAddingRenderObserver([&](auto...) { ++a; });
  unit->tokenByAddingRenderObserver([&](auto...) { ++b; });
  render.at(0, 16);
  unit->removeRenderObserver(tokenA);
  unit->removeRenderObserver(tokenA); // a second removal does nothing
  // The freed slot gets a new token; the old one cannot remove the new observer.
  const AUObserverToken tokenC = unit->tokenByAddingRenderObserver([&](auto...) { a += 10; });
  EXPECT_NE(tokenC, tokenA);
  unit->removeRenderObserver(tokenA);
  render.at(16, 16);
  EXPECT_EQ(a, 22);
  EXPECT_EQ(b, 4);
}

TEST(RenderEventList, KeepsTimeAndAdditionOrderAndLinksAForeignTailWithoutCopyingIt) {
  RenderEventList host(6), mine(2);
  // 20 goes between, the second 10 after the first, 5 becomes the head.
  for (auto [time, value] : {std::pair{10, 1}, {30, 2}, {20, 3}, {10, 4}, {5, 5}})
    host.addParameter(time, 0, AUValue(value));
  const std::uint8_t note[2] = {0x90, 9};
  EXPECT_FALSE(host.addMIDI(30, 0, note, 0));
  EXPECT_FALSE(host.addMIDI(30, 0, note, 4));
  host.addMIDI(30, 0, note, 2);
  EXPECT_TRUE(host.full());
  EXPECT_FALSE(host.addParameter(40, 0, 6));

  mine.addParameter(1, 2, 7);
  mine.clear();
  EXPECT_TRUE(mine.empty());
  mine.addParameterRamp(2, 1, 8, 100);
  mine.linkTail(host.head());
  EXPECT_FALSE(mine.addParameter(70, 2, 9)); // nothing after a tail
  EXPECT_EQ(contents(mine.head()),
            (std::vector<std::pair<AUEventSampleTime, AUValue>>{
                {2, 8}, {5, 5}, {10, 1}, {10, 4}, {20, 3}, {30, 2}, {30, -9}}));
  EXPECT_EQ(mine.head()->head.next, host.head());
  EXPECT_EQ(mine.head()->parameter.rampDurationSampleFrames, 100u);
}
