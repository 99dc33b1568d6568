// The generator unit's render block, render resources, host callbacks and family restriction.
#include "PallixTestSupport.h"

#include "platform/audiounit/RenderEventList.h"

#include <string>

using P = pallix::engine::PallixParameter;

TEST(PallixRenderBlock, AppliesParameterEventsAtTheBufferStartAndRendersSilence) {
  auto unit = makeGenerator();
  RenderEventList events(4);
  events.addParameter(10, addressOf(P::rootNote), 7.9f);
  events.addParameter(10, addressOf(P::mode), 5.0f); // held to the range: Minor
  events.addParameterRamp(300, addressOf(P::embroidery), 1.0f, 512);
  events.addParameter(20, pallix::engine::kPallixParameterCount, 1.0f); // no parameter there
  std::vector<float> samples(512, 1.0f);
  float* channels[1] = {samples.data()};
  AudioBufferList output = AudioBufferList::forChannels(channels, 1, 512);
  const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(0);
  const AUInternalRenderBlock render = unit->internalRenderBlock();
  ASSERT_EQ(render(nullptr, &stamp, 512, 0, &output, events.head(), {}), noErr);
  EXPECT_EQ(values(*unit), (std::vector<AUValue>{1, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 7, 1}));
  EXPECT_EQ(samples, std::vector<float>(512, 0.0f));
  EXPECT_EQ(render(nullptr, nullptr, 512, 0, &output, nullptr, {}), kAudio_ParamError);
}

TEST(PallixRenderResources, EachAllocationRestartsTheFormPlayingAtOnceOnlyWithoutATransport) {
  auto unit = makeGenerator();
  ASSERT_TRUE(unit->outputBusses()[0].setFormat(AudioFormat::standard(48000, 2)).ok());
  unit->parameterTree()->parameterWithAddress(addressOf(P::emotion))->setValue(1.0f); // no drops
  std::vector<AUEventSampleTime> bass;                                                // C's
  unit->setMIDIOutputEventBlock(
      [&bass](AUEventSampleTime time, std::uint8_t, int, const std::uint8_t* bytes) {
        if (bytes[0] == 0x90 && bytes[1] == 36)
          bass.push_back(time);
        return noErr;
      });
  const AUHostTransportStateBlock moving = [](AUHostTransportStateFlags* flags, double*, double*,
                                              double*) {
    *flags = AUHostTransportStateMoving;
    return true;
  };
  for (const bool transport : {false, true, false}) {
    unit->setTransportStateBlock(transport ? moving : AUHostTransportStateBlock());
    ASSERT_TRUE(unit->allocateRenderResources().ok());
    bass.clear();
    const AUInternalRenderBlock render = unit->internalRenderBlock();
    for (AUEventSampleTime t = 0; t < 4.5 * 96000; t += 512) { // into bar 5, the IV chord's
      const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(static_cast<double>(t));
      ASSERT_EQ(render(nullptr, &stamp, 512, 0, nullptr, nullptr, {}), noErr);
    }
    // Bar 1's C, after the warm-up a transport's start brings; beats 24000 apart at 48 kHz.
    ASSERT_GT(bass.size(), 2u);
    EXPECT_EQ(bass[0], transport ? 1024 : 0);
    EXPECT_EQ(bass[1], 24000);
    unit->deallocateRenderResources();
  }
}

TEST(PallixRenderResources, ABlockFetchedBeforeAllocationUsesTheHostBlocksGivenSince) {
  auto unit = makeGenerator();
  unit->parameterTree()->parameterWithAddress(addressOf(P::emotion))->setValue(1.0f); // no drops
  const AUInternalRenderBlock early = unit->internalRenderBlock();
  int sent = 0;
  unit->setMIDIOutputEventBlock([&](AUEventSampleTime, std::uint8_t, int, const std::uint8_t*) {
    ++sent;
    return noErr;
  });
  const auto renderBeats = [&] { // without a transport, each call plays two beats on
    const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(0);
    return early(nullptr, &stamp, 48000, 0, nullptr, nullptr, {});
  };
  ASSERT_TRUE(unit->allocateRenderResources().ok());
  EXPECT_EQ(renderBeats(), noErr);
  EXPECT_GT(sent, 0);
  unit->deallocateRenderResources();
  const int before = sent;
  renderBeats();
  EXPECT_EQ(sent, before); // deallocation took the host's block away
}

TEST(PallixForcedFamily, NamesOneOfTheFirst128FamiliesOrNone) {
  std::vector<std::string> many;
  for (int i = 0; i < 130; ++i)
    many.push_back("family " + std::to_string(1000 + i)); // already in sorted order
  auto unit = makeGenerator(catalogueOf(many));
  ASSERT_EQ(unit->allFamilies(), many);
  // The kernel's index is a signed byte: names beyond position 127 cannot be forced.
  const std::pair<std::optional<std::string>, int> cases[] = {
      {many[0], 0}, {many[127], 127}, {"unknown", -1}, {many[1], 1}, {many[128], -1}, {{}, -1}};
  for (const auto& [name, index] : cases) {
    unit->setForcedFamily(name);
    EXPECT_EQ(unit->forcedFamily(), index < 0 ? std::nullopt : name);
  }
}
