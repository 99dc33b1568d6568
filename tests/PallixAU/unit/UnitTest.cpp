// The generator unit's render resources, host callbacks and family restriction.
#include "PallixTestSupport.h"

#include <string>
#include <tuple>

TEST(PallixRenderResources, PlayingFollowsTheTransportOnlyWhenTheHostHasOne) {
  auto unit = makeUnit();
  ASSERT_TRUE(unit->outputBusses()[0].setFormat(AudioFormat::standard(48000, 2)).ok());
  for (const bool transport : {false, true, false}) {
    unit->setTransportStateBlock(transport ? [](auto*, auto*, auto*, auto*) { return true; }
                                           : AUHostTransportStateBlock());
    unit->kernel().barIndex = 5; // each allocation starts the form again
    ASSERT_TRUE(unit->allocateRenderResources().ok());
    const Kernel& k = unit->kernel();
    EXPECT_EQ(std::tuple(k.hostPlaying, k.wasPlaying, k.barIndex, k.sampleRate),
              std::tuple(!transport, !transport, 0, 48000.0));
    unit->deallocateRenderResources();
  }
}

TEST(PallixRenderResources, ABlockFetchedBeforeAllocationUsesTheHostBlocksGivenSince) {
  auto unit = makeUnit();
  unit->parameterTree()->parameterWithAddress(6)->setValue(1.0f); // Emotion 1 drops no note
  const AUInternalRenderBlock early = unit->internalRenderBlock();
  int sent = 0;
  unit->setMIDIOutputEventBlock([&](AUEventSampleTime, std::uint8_t, int, const std::uint8_t*) {
    ++sent;
    return noErr;
  });
  const auto renderBar0 = [&] {
    unit->kernel().reset();
    const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(0);
    return early(nullptr, &stamp, 64, 0, nullptr, nullptr, {});
  };
  ASSERT_TRUE(unit->allocateRenderResources().ok());
  EXPECT_EQ(renderBar0(), noErr);
  EXPECT_GT(sent, 0);
  unit->deallocateRenderResources();
  const int before = sent;
  renderBar0();
  EXPECT_EQ(sent, before); // deallocation took the host's block away
}

TEST(PallixForcedFamily, NamesOneOfTheFirst128FamiliesOrNone) {
  std::vector<std::string> many;
  for (int i = 0; i < 130; ++i)
    many.push_back("family " + std::to_string(1000 + i)); // already in sorted order
  auto unit = makeUnit(catalogOf(many));
  ASSERT_EQ(unit->allFamilies(), many);
  // The kernel's index is a signed byte: names beyond position 127 cannot be forced.
  const std::pair<std::optional<std::string>, int> cases[] = {
      {many[0], 0}, {many[127], 127}, {"unknown", -1}, {many[1], 1}, {many[128], -1}, {{}, -1}};
  for (const auto& [name, index] : cases) {
    unit->setForcedFamily(name);
    EXPECT_EQ(unit->kernel().forcedFamilyIndex, index) << name.value_or("none");
    EXPECT_EQ(unit->forcedFamily(), index < 0 ? std::nullopt : name);
  }
}
