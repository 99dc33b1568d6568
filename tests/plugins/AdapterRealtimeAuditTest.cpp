// The adapter's processBlock never allocates, frees, locks, sleeps or does I/O: host MIDI in,
// automation, play head, MIDI out.
#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "plugins/adapter/UnitProcessor.h"
#include "tests/support/RealtimeAudit.h"

#include <gtest/gtest.h>

using namespace plugins;

namespace {

// A transport rolling at 120 quarters a minute in 4/4, from position 0.
class RollingPlayHead : public juce::AudioPlayHead {
public:
  juce::Optional<PositionInfo> getPosition() const override {
    PositionInfo info;
    info.setIsPlaying(true);
    info.setBpm(120.0);
    info.setTimeSignature(TimeSignature{4, 4});
    info.setTimeInSamples(samples);
    info.setPpqPosition(static_cast<double>(samples) / 24000.0);
    return info;
  }
  std::int64_t samples = 0;
};

template <class Unit> void expectRealtimeSafe() {
  auto unit = AUAudioUnit::create<Unit>(Unit::kDescription);
  ASSERT_TRUE(unit);
  UnitProcessor processor(std::move(unit).value(), "test");
  RollingPlayHead playHead;
  processor.setPlayHead(&playHead);
  processor.prepareToPlay(48000.0, 512);
  juce::AudioBuffer<float> storage(2, 2048);
  juce::MidiBuffer midi;
  midi.ensureSize(8192);
  auto* parameter = processor.getParameters()[0];
  std::int64_t messagesOut = 0;

  resetRealtimeCounts();
  gCounting = true;
  for (int round = 0; round < 40; ++round)
    for (const int frames : {1, 17, 512, 2048}) { // the last is longer than prepared
      // As a host does: its own memory, of the call's length (resizing a buffer may reallocate).
      juce::AudioBuffer<float> buffer(storage.getArrayOfWritePointers(), 2, frames);
      midi.clear();
      midi.addEvent(juce::MidiMessage::noteOn(1, 48 + round % 24, 0.8f), 0);
      midi.addEvent(juce::MidiMessage::noteOff(1, 48 + (round + 12) % 24), frames - 1);
      parameter->setValue(static_cast<float>(round % 2));
      processor.processBlock(buffer, midi);
      messagesOut += midi.getNumEvents();
      playHead.samples += frames;
    }
  gCounting = false;
  EXPECT_EQ(realtimeCounts(), RealtimeCounts{});
  if (processor.producesMidi()) {
    EXPECT_GT(messagesOut, 10); // about two seconds of the blues
  }
}

} // namespace

TEST(AdapterRealtimeAudit, QuorvaneProcessBlockIsRealtimeSafe) {
  expectRealtimeSafe<quorvane::unit::QuorvaneAudioUnit>();
}

TEST(AdapterRealtimeAudit, PallixProcessBlockIsRealtimeSafe) {
  expectRealtimeSafe<pallix::unit::PallixAudioUnit>();
}
