// The adapter hands the unit each host MIDI message at its own position in the block.
#include "plugins/adapter/UnitProcessor.h"
#include "tests/support/TestUnit.h"

#include <gtest/gtest.h>

using namespace plugins;

// A message's time is the block's first sample time plus its position, in the later slices of a
// block longer than the unit renders at once too.
TEST(AdapterMidi, EachMessageIsTimedAtItsPositionInTheBlock) {
  auto probe = std::make_shared<Probe>();
  UnitProcessor processor(makeUnit(probe), "test");
  processor.prepareToPlay(48000.0, 512);
  juce::AudioBuffer<float> buffer(2, 1536);
  juce::MidiBuffer midi;
  const int positions[] = {0, 17, 511, 512, 1000, 1535};
  std::vector<AUEventSampleTime> expected;
  for (int block = 0; block < 2; ++block) {
    midi.clear();
    for (const int position : positions) {
      midi.addEvent(juce::MidiMessage::noteOn(1, 60, 0.5f), position);
      expected.push_back(block * 1536 + position);
    }
    processor.processBlock(buffer, midi);
  }
  std::vector<AUEventSampleTime> times;
  for (const ReceivedEvent& event : probe->events)
    if (event.type == AURenderEventMIDI)
      times.push_back(event.time);
  EXPECT_EQ(times, expected);
}
