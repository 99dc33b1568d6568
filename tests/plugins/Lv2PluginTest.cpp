// Both LV2 bundles of the build tree, loaded and played as an LV2 host does.
#include "tests/plugins/Lv2Host.h"
#include "tests/plugins/PallixEvents.h"
#include "tests/plugins/SoundMeasure.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kRate = 48000;
constexpr std::uint32_t kBlock = 512;
const std::string kQuorvane = "https://orrinbrook.org/plugins/quorvane";
const std::string kPallix = "https://orrinbrook.org/plugins/pallix";

Lv2World& world() {
  static Lv2World shared({QUORVANE_LV2_BUNDLE, PALLIX_LV2_BUNDLE});
  return shared;
}

// A C major chord held for half a second, both channels in one list.
SoundMeasure playChord(Lv2Instance& synth, std::uint32_t blockSize = kBlock) {
  for (std::uint8_t note : {60, 64, 67})
    synth.addMidi(0, {0x90, note, 100});
  std::vector<float> samples;
  for (std::uint32_t done = 0; done < kRate / 2; done += blockSize) {
    synth.run(blockSize);
    for (int channel : {0, 1}) {
      const auto output = synth.output(channel);
      samples.insert(samples.end(), output.begin(), output.end());
    }
  }
  return SoundMeasure::of(samples);
}

std::vector<PallixMessage> asPallix(const std::vector<Lv2MidiMessage>& sent) {
  std::vector<PallixMessage> messages;
  for (const auto& m : sent)
    messages.push_back({m.sampleTime, m.bytes});
  return messages;
}

bool hasNoteOn(const std::vector<Lv2MidiMessage>& sent) {
  for (const auto& m : sent)
    if ((m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] > 0)
      return true;
  return false;
}

} // namespace

TEST(QuorvaneLv2, NotesPlayAsFiniteAudibleAlsoInBlocksLongerThanPromised) {
  Lv2Instance synth(world(), kQuorvane, kRate);
  for (std::uint32_t blockSize : {kBlock, 4 * kBlock}) {
    const auto sound = playChord(synth, blockSize);
    EXPECT_TRUE(sound.finite);
    EXPECT_GT(sound.rms, 1e-3);
  }
}

TEST(QuorvaneLv2, SavedStateRestoresValuesAndSoundInAFreshInstance) {
  Lv2Instance original(world(), kQuorvane, kRate);
  // Automation as patch:Set: a dark band-pass sound, far from the first preset.
  original.addParameter(0, "frequency", 0.15f);
  original.addParameter(0, "filterType", 1.0f);
  original.run(kBlock);
  const std::string saved = original.saveState();

  Lv2Instance restored(world(), kQuorvane, kRate);
  restored.restoreState(saved);
  restored.run(kBlock);
  EXPECT_EQ(restored.saveState(), saved);

  Lv2Instance untouched(world(), kQuorvane, kRate);
  untouched.run(kBlock);
  const auto changed = playChord(original);
  EXPECT_TRUE(playChord(restored).near(changed, kSameSound));
  EXPECT_FALSE(playChord(untouched).near(changed, kOtherSound));
}

TEST(QuorvaneLv2, ChoosingAProgramChangesTheSound) {
  Lv2Instance organ(world(), kQuorvane, kRate), sub(world(), kQuorvane, kRate);
  EXPECT_EQ(organ.presetUris().size(), 12u);
  organ.loadPreset(kQuorvane + ":preset1");
  sub.loadPreset(kQuorvane + ":preset9");
  EXPECT_FALSE(playChord(organ).near(playChord(sub), kOtherSound));
}

TEST(PallixLv2, SendsNothingWhileTheTransportStandsStill) {
  Lv2Instance generator(world(), kPallix, kRate);
  for (int block = 0; block < 200; ++block) {
    generator.addPosition(0, 0.0, 120, false);
    EXPECT_TRUE(generator.run(kBlock).empty());
  }
}

// 4 bars at 120 quarters a minute are 750 blocks of 512 frames at 48 kHz.
TEST(PallixLv2, PlaysAsPallixRenderWhetherTheHostSendsEveryPositionOrOnlyChanges) {
  const auto expected = pallixRenderEvents(kRate, kBlock, 120, 4);
  ASSERT_FALSE(expected.empty());
  const double samplesPerBeat = kRate * 60 / 120;
  // Without a beat position (bar and bar beat only, as jalv sends) the frame places the run.
  for (const auto& [everyBlock, withBeat] :
       {std::pair{true, true}, {false, true}, {false, false}}) {
    SCOPED_TRACE(everyBlock ? "position in every block" : "position on changes only");
    SCOPED_TRACE(withBeat ? "with beat position" : "bar beat only");
    Lv2Instance generator(world(), kPallix, kRate);
    std::vector<Lv2MidiMessage> sent;
    for (int block = 0; block < 750; ++block) {
      if (everyBlock || block == 0)
        generator.addPosition(0, block * double(kBlock) / samplesPerBeat, 120, true, 4, 4,
                              withBeat);
      const auto messages = generator.run(kBlock);
      sent.insert(sent.end(), messages.begin(), messages.end());
    }
    expectLinedUp(asPallix(sent), expected, samplesPerBeat, 750 * kBlock);

    // Stopping: notes may end in the stopping block, and then nothing more.
    generator.addPosition(0, 750 * double(kBlock) / samplesPerBeat, 120, false, 4, 4, withBeat);
    generator.run(kBlock);
    for (int block = 0; block < 100; ++block) {
      if (everyBlock)
        generator.addPosition(0, 750 * double(kBlock) / samplesPerBeat, 120, false);
      EXPECT_FALSE(hasNoteOn(generator.run(kBlock)));
    }
  }
}
