// The synthesiser unit's parameter table, its render block and how it decodes events.
#include "UnitTestSupport.h"

#include <tuple>

using P = quorvane::dsp::QuorvaneParameter;

TEST(Parameters, AFreshUnitReportsTheTableAndInitialValues) {
  auto unit = makeUnit();
  EXPECT_EQ(values(*unit), kInitialValues);
  const auto& all = unit->parameterTree()->allParameters();
  ASSERT_EQ(all.size(), 21u);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i]->address(), i);
    EXPECT_EQ(all[i]->identifier(), kIdentifiers[i]);
    EXPECT_EQ(unit->defaultParameterValues().at(kIdentifiers[i]), kInitialValues[i]);
  }
  const auto attributes = [](const AUParameter& p) {
    return std::tuple(p.displayName(), p.unit(), p.flags(), p.minValue(), p.maxValue());
  };
  EXPECT_EQ(attributes(*all[address(P::attack)]),
            std::tuple("Attack", kAudioUnitParameterUnit_Seconds, 0xC0400000u, 0.001f, 20.0f));
  const auto& filterType = *all[address(P::filterType)];
  EXPECT_EQ(attributes(filterType),
            std::tuple("Filter Type", kAudioUnitParameterUnit_Indexed, 0xC0000000u, 0.0f, 2.0f));
  EXPECT_EQ(filterType.valueStrings(), (std::vector<std::string>{"LP", "BP", "HP"}));
  // Indexed parameters show numbers too, not their value strings.
  EXPECT_EQ(filterType.stringFromValue(2.0f), "2.000");
  EXPECT_EQ(all[address(P::shape)]->stringFromValue(), "0.500");

  EXPECT_EQ(unit->channelCapabilities(), (std::vector<int>{0, 2}));
}

class RenderBlock : public ::testing::Test {
protected:
  std::shared_ptr<quorvane::unit::QuorvaneAudioUnit> unit = makeUnit();
  HostRender render{*unit};
  RenderEventList events{16};

  void midi(std::initializer_list<std::uint8_t> bytes, AUEventSampleTime offset = 0) {
    events.addMIDI(render.time + offset, 0, std::data(bytes), int(bytes.size()));
  }
  OSStatus renderEvents(AUAudioFrameCount frames = 256) {
    const OSStatus status = render(frames, events.head());
    events.clear();
    return status;
  }
};

// Notes and bends at any offset sound as another unit given them at offset 0 renders them (Drift
// and Space are 0: nothing random sounds); ramps jump to their end; events that are not plain
// MIDI, and parameters that do not exist, are ignored.
TEST_F(RenderBlock, EventsTakeEffectAtTheFirstSample) {
  auto other = makeUnit();
  HostRender atOffsets(*other);
  RenderEventList late(4);
  const std::uint8_t bend[3] = {0xE0, 0x00, 0x60}, on[3] = {0x9C, 69, 127};
  late.addMIDI(100, 0, bend, 3), late.addMIDI(250, 0, on, 3);
  late.addParameterRamp(10, address(P::frequency), 0.25f, 1000);
  ASSERT_EQ(atOffsets(256, late.head()), noErr);
  // A note placed at its offset would leave the first 250 frames silent.
  EXPECT_GT(peak(atOffsets.left.data(), 32), 0.0f);
  std::vector<AUValue> expected = kInitialValues;
  expected[address(P::frequency)] = 0.25f; // the tree reads the engine: render-time changes show
  EXPECT_EQ(values(*other), expected);

  midi({0xE0, 0x00, 0x60}), midi({0x9C, 69, 127});
  events.addParameter(render.time, address(P::frequency), 0.25f);
  events.addParameter(render.time, quorvane::dsp::kQuorvaneParameterCount, 9.0f);
  const std::uint8_t sysEx[5] = {0xF0, 0x90, 60, 100, 0xF7}; // note-on bytes inside
  const std::uint32_t packet[1] = {0x20903C64};              // a MIDI 1.0 note-on as a packet word
  events.addSysEx(render.time, 0, sysEx, 5), events.addMIDIEventList(render.time, 0, packet, 1);
  renderEvents();
  EXPECT_EQ(atOffsets.left, render.left);
  EXPECT_EQ(values(*unit), expected);
}

// The engine counts on it, so the whole call, observers included, runs with denormals flushed.
TEST_F(RenderBlock, RendersWithDenormalsFlushedAndRestoresTheModeAfter) {
  volatile float tiny = 1e-30f;
  bool flushed = false;
  unit->tokenByAddingRenderObserver([&](AudioUnitRenderActionFlags, const AudioTimeStamp*,
                                        AUAudioFrameCount, long) { flushed = tiny * 1e-10f == 0; });
  renderEvents();
  EXPECT_TRUE(flushed);
  EXPECT_GT(tiny * 1e-10f, 0.0f);
}

// One buffer is silenced, and not an error; buffers without memory get the unit's own; a reset
// drops held notes, so the next buffer is silent.
TEST_F(RenderBlock, HostBuffersOfEveryShapeAndReset) {
  midi({0x90, 60, 127}), midi({0x90, 67, 100});
  renderEvents();
  std::fill(render.left.begin(), render.left.end(), 1.0f);
  EXPECT_EQ(render(256, nullptr, 1), noErr);
  EXPECT_EQ(peak(render.left.data(), 256), 0.0f);
  AudioBufferList list;
  list.mNumberBuffers = 2;
  ASSERT_EQ(render.call(256, list, nullptr), noErr);
  ASSERT_TRUE(list.channel(0) && list.channel(1));
  EXPECT_NE(list.channel(0), list.channel(1));
  EXPECT_GE(list.mBuffers[0].mDataByteSize, 256 * sizeof(float));
  EXPECT_GT(peak(list.channel(0), 256), 0.0f);
  EXPECT_GT(peak(list.channel(1), 256), 0.0f);
  unit->reset();
  EXPECT_EQ(render(512), noErr);
  EXPECT_EQ(peak(render.left.data(), 512), 0.0f);
  EXPECT_EQ(peak(render.right.data(), 512), 0.0f);
}
