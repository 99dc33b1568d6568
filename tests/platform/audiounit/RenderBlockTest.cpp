// The render-block wrapper: its order of work, its refusals, scheduled MIDI and observers.
#include "TestUnit.h"

#include "platform/audiounit/RenderEventList.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const std::uint8_t kNoteOn[3] = {0x90, 60, 100};

std::uint8_t noteOf(const ReceivedEvent& event) { return event.bytes[1]; }

struct RenderBlock : ::testing::Test {
  std::shared_ptr<Probe> probe = std::make_shared<Probe>();
  std::shared_ptr<TestUnit> unit = allocatedUnit(probe, 512);
  HostCall render{unit->renderBlock()};
  AUScheduleMIDIEventBlock schedule = unit->scheduleMIDIEventBlock();

  void note(AUEventSampleTime time, std::uint8_t key) {
    const std::uint8_t bytes[3] = {0x90, key, 100};
    schedule(time, 0, 3, bytes);
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
      schedule(AUEventSampleTimeImmediate, 0, 3, kNoteOn); // reaches this very call
    } else {
      trace += "post";
    }
  });
  probe->onRender = [&] { trace += "render "; };

  ASSERT_EQ(render(1000, 256), noErr);
  EXPECT_EQ(trace, "pre render post");
  EXPECT_EQ(flags, (std::vector<AudioUnitRenderActionFlags>{4, 8}));
  ASSERT_EQ(probe->events.size(), 1u);
  EXPECT_EQ(probe->events[0].time, 1000);
  EXPECT_EQ(probe->events[0].type, AURenderEventMIDI);
}

TEST_F(RenderBlock, RefusesCallsItCannotServeWithoutRunningAnything) {
  int observed = 0;
  unit->tokenByAddingRenderObserver([&](auto...) { ++observed; });
  note(AUEventSampleTimeImmediate, 60);

  EXPECT_EQ(render(0, 513), kAudioUnitErr_TooManyFramesToProcess);
  EXPECT_EQ(observed, 0);
  EXPECT_TRUE(probe->callTimes.empty());

  // The refused call took nothing: the note arrives with the next call that runs.
  EXPECT_EQ(render(0, 512), noErr);
  EXPECT_EQ(probe->events.size(), 1u);

  // A limit set while allocated waits for the next allocation.
  unit->setMaximumFramesToRender(1024);
  EXPECT_EQ(render(0, 1024), kAudioUnitErr_TooManyFramesToProcess);
  unit->deallocateRenderResources();
  EXPECT_EQ(render(0, 16), kAudioUnitErr_Uninitialized);
  ASSERT_TRUE(unit->allocateRenderResources());
  EXPECT_EQ(render(0, 1024), noErr);

  AudioUnitRenderActionFlags flags = 0;
  EXPECT_EQ(render.block(&flags, nullptr, 16, 0, nullptr, nullptr, render.noInput),
            kAudio_ParamError);

  // A block the host still holds refuses once the unit is gone.
  unit.reset();
  EXPECT_EQ(render(0, 16), kAudioUnitErr_Uninitialized);
  EXPECT_EQ(observed, 4); // before and after each of the two calls that ran
}

TEST_F(RenderBlock, PostRenderObserversAreToldOfTheUnitsError) {
  AudioUnitRenderActionFlags post = 0;
  unit->tokenByAddingRenderObserver([&](AudioUnitRenderActionFlags f, auto...) { post = f; });
  probe->status = -99;
  EXPECT_EQ(render(0, 64), -99);
  EXPECT_EQ(post, kAudioUnitRenderAction_PostRender | kAudioUnitRenderAction_PostRenderError);
}

TEST_F(RenderBlock, ScheduledEventsWaitForTheCallThatContainsThem) {
  note(600, 2);                              // second call
  note(100, 1);                              // first call
  note(AUEventSampleTimeImmediate + 700, 3); // 700 after the next call's start: second call
  note(1030, 4);                             // third call
  ASSERT_EQ(render(0, 512), noErr);
  ASSERT_EQ(probe->events.size(), 1u);
  EXPECT_EQ(noteOf(probe->events[0]), 1);
  EXPECT_EQ(probe->events[0].time, 100);

  note(5, 5); // already past: stamped with the call's first sample
  ASSERT_EQ(render(512, 512), noErr);
  ASSERT_EQ(probe->events.size(), 4u);
  EXPECT_EQ(noteOf(probe->events[1]), 5);
  EXPECT_EQ(probe->events[1].time, 512);
  EXPECT_EQ(noteOf(probe->events[2]), 2);
  EXPECT_EQ(probe->events[2].time, 600);
  EXPECT_EQ(noteOf(probe->events[3]), 3);
  EXPECT_EQ(probe->events[3].time, 700);

  ASSERT_EQ(render(1024, 512), noErr);
  ASSERT_EQ(probe->events.size(), 5u);
  EXPECT_EQ(probe->events[4].time, 1030);
}

TEST_F(RenderBlock, ScheduledEventsMergeIntoTheHostsListInTimeOrder) {
  RenderEventList host(8);
  const std::uint8_t off[3] = {0x80, 70, 0};
  host.addParameter(100, 0, 0.5f);
  host.addMIDI(110, 0, off, 3);
  host.addMIDI(120, 0, off, 3);
  note(110, 11); // tie with a host event: after it
  note(115, 12);
  note(AUEventSampleTimeImmediate, 13); // the call's first sample
  ASSERT_EQ(render(100, 64, host.head()), noErr);

  std::vector<std::pair<AUEventSampleTime, int>> got;
  for (const auto& e : probe->events)
    got.emplace_back(e.time, e.type == AURenderEventMIDI ? e.bytes[1] : -1);
  const std::vector<std::pair<AUEventSampleTime, int>> expected = {{100, -1}, {100, 13}, {110, 70},
                                                                   {110, 11}, {115, 12}, {120, 70}};
  EXPECT_EQ(got, expected);
  EXPECT_EQ(probe->events[0].value, 0.5f);
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

  ASSERT_EQ(render(0, 64), noErr);
  ASSERT_EQ(probe->events.size(), 1024u);
  for (int i = 0; i < 1024; ++i)
    ASSERT_EQ(noteOf(probe->events[std::size_t(i)]), i & 0x7F);
  note(AUEventSampleTimeImmediate, 9); // room again
  EXPECT_EQ(unit->droppedMIDIEventCount(), 3u);
}

TEST_F(RenderBlock, RemovedRenderObserversStopAndTokensStayUnique) {
  int a = 0, b = 0;
  const AUObserverToken tokenA = unit->tokenByAddingRenderObserver([&](auto...) { ++a; });
  const AUObserverToken tokenB = unit->tokenByAddingRenderObserver([&](auto...) { ++b; });
  render(0, 16);
  unit->removeRenderObserver(tokenA);
  unit->removeRenderObserver(tokenA); // a second removal does nothing
  render(16, 16);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 4);

  // The freed slot gets a new token; the old one cannot remove the new observer.
  const AUObserverToken tokenC = unit->tokenByAddingRenderObserver([&](auto...) { ++a; });
  EXPECT_NE(tokenC, tokenA);
  unit->removeRenderObserver(tokenA);
  render(32, 16);
  EXPECT_EQ(a, 4);
  unit->removeRenderObserver(tokenB);
  unit->removeRenderObserver(tokenC);

  std::vector<AUObserverToken> tokens;
  for (int i = 0; i < 17; ++i)
    tokens.push_back(unit->tokenByAddingRenderObserver([](auto...) {}));
  EXPECT_GT(tokens[15], 0);
  EXPECT_EQ(tokens[16], kAUNoObserverToken);
}
