// The render-event list builder: time order, capacity and foreign tails.
#include "platform/audiounit/RenderEventList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<std::pair<AUEventSampleTime, AUValue>> contents(const AURenderEvent* event) {
  std::vector<std::pair<AUEventSampleTime, AUValue>> out;
  for (; event != nullptr; event = event->head.next)
    out.emplace_back(event->head.eventSampleTime, event->head.eventType == AURenderEventMIDI
                                                      ? -event->MIDI.data[1]
                                                      : event->parameter.value);
  return out;
}
} // namespace

TEST(RenderEventList, KeepsTimeOrderAndAdditionOrderForEqualTimes) {
  RenderEventList list(6);
  list.addParameter(10, 0, 1);
  list.addParameter(30, 0, 2);
  list.addParameter(20, 0, 3); // between
  list.addParameter(10, 0, 4); // after the first 10
  list.addParameter(5, 0, 5);  // new head
  const std::uint8_t note[2] = {0x90, 9};
  list.addMIDI(30, 0, note, 2);
  EXPECT_TRUE(list.full());
  EXPECT_FALSE(list.addParameter(40, 0, 6));
  EXPECT_EQ(contents(list.head()), (std::vector<std::pair<AUEventSampleTime, AUValue>>{
                                       {5, 5}, {10, 1}, {10, 4}, {20, 3}, {30, 2}, {30, -9}}));
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(list.addMIDI(0, 0, note, 0));
  EXPECT_FALSE(list.addMIDI(0, 0, note, 4));
}

TEST(RenderEventList, LinksAForeignTailWithoutCopyingIt) {
  RenderEventList host(2), mine(2);
  host.addParameter(50, 1, 7);
  host.addParameterRamp(60, 1, 8, 100);
  mine.addParameter(40, 2, 6);
  mine.linkTail(host.head());
  EXPECT_FALSE(mine.addParameter(70, 2, 9)); // nothing after a tail
  EXPECT_EQ(contents(mine.head()),
            (std::vector<std::pair<AUEventSampleTime, AUValue>>{{40, 6}, {50, 7}, {60, 8}}));
  EXPECT_EQ(mine.head()->head.next, host.head());
  EXPECT_EQ(host.head()->head.next->parameter.rampDurationSampleFrames, 100u);
}
