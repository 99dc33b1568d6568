// The synthesiser in a Scala tuning: the pitches heard, keys left unmapped, and the tuning
// travelling with the state.
#include "UnitTestSupport.h"

#include "platform/foundation/Files.h"

#include <optional>
#include <string>

using quorvane::unit::QuorvaneAudioUnit;
using P = quorvane::dsp::QuorvaneParameter;

namespace {

std::string shipped(const char* name) {
  const auto bytes = foundation::readWholeFile(
      std::string(ORRINBROOK_SOURCE_DIR "/QuorvaneAU/resources/tunings/") + name, 1 << 20);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// A second of the note on a sine, unison and drift silent; its pitch from the first to the last
// upward zero crossing after the attack, interpolated between samples. Nothing heard: 0.
double heardHz(QuorvaneAudioUnit& unit, std::uint8_t note) {
  unit.parameterTree()->parameterWithAddress(address(P::shape))->setValue(0.0f);
  HostRig render(unit);
  RenderEventList events(4);
  const std::uint8_t on[3] = {0x90, note, 100};
  events.addMIDI(render.time, 0, on, 3);
  std::vector<float> heard;
  for (int call = 0; call < 86; ++call) {
    EXPECT_EQ(render(512, call == 0 ? events.head() : nullptr), noErr);
    heard.insert(heard.end(), render.left.begin(), render.left.begin() + 512);
  }
  std::optional<double> first, last;
  int periods = -1;
  for (std::size_t i = 4410; i + 1 < heard.size(); ++i)
    if (heard[i] <= 0.0f && heard[i + 1] > 0.0f) {
      const double at = double(i) + heard[i] / double(heard[i] - heard[i + 1]);
      first = first.value_or(at);
      last = at;
      ++periods;
    }
  return periods > 0 ? periods * 44100.0 / (*last - *first) : 0.0;
}

} // namespace

TEST(Tuning, TheNotesSoundAsTheScaleAndMapSay) {
  auto unit = makeSynth();
  const double equal60 = heardHz(*unit, 60), equal61 = heardHz(*unit, 61);
  EXPECT_NEAR(equal61 / equal60, std::exp2(1.0 / 12), 1e-4);

  ASSERT_FALSE(unit->setTuning(shipped("19-tone equal.scl"), std::nullopt));
  EXPECT_NEAR(heardHz(*unit, 60), equal60, 1e-3); // degree 0 keeps note 60's pitch
  EXPECT_NEAR(heardHz(*unit, 61) / heardHz(*unit, 60), std::exp2(1.0 / 19), 1e-4);
  EXPECT_NEAR(heardHz(*unit, 79) / heardHz(*unit, 60), 2.0, 1e-4); // 19 keys up, an octave

  ASSERT_FALSE(unit->setTuning(shipped("Pythagorean.scl"), shipped("A 432.kbm")));
  EXPECT_NEAR(heardHz(*unit, 69), 432.0, 0.01);
  EXPECT_NEAR(heardHz(*unit, 81), 864.0, 0.02);

  // A key the map leaves out plays nothing.
  const std::string whiteKeys = "! white.kbm\n12\n0\n127\n60\n69\n440.0\n7\n"
                                "0\nx\n1\nx\n2\n3\nx\n4\nx\n5\nx\n6\n";
  ASSERT_FALSE(unit->setTuning(shipped("Just major.scl"), whiteKeys));
  EXPECT_EQ(heardHz(*unit, 61), 0.0);
  EXPECT_NEAR(heardHz(*unit, 64) / heardHz(*unit, 60), 5.0 / 4.0, 1e-4);
}

// Refused texts keep the tuning there was; states carry the texts, and one without them (or
// with texts that cannot be read, or a factory preset) plays equal-tempered again.
TEST(Tuning, TravelsWithTheStateAndRefusalsChangeNothing) {
  auto unit = makeSynth();
  const std::string scale = shipped("19-tone equal.scl"), map = shipped("A 432.kbm");
  ASSERT_FALSE(unit->setTuning(scale, map));
  const auto refused = unit->setTuning("! bad\nbad\n2\n100.0\nfoo\n", std::nullopt);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->problem.line, 5);
  EXPECT_TRUE(unit->setTuning(scale, std::string("12\n")));
  ASSERT_TRUE(unit->tuning());
  EXPECT_EQ(unit->tuning()->keyboardMap, map);
  const double tuned = heardHz(*unit, 62);

  const auto state = unit->fullState();
  auto reopened = makeSynth();
  reopened->setFullState(state);
  ASSERT_TRUE(reopened->tuning());
  EXPECT_EQ(reopened->tuning()->scale, scale);
  EXPECT_EQ(reopened->tuning()->description, "19 equal steps of the octave");
  EXPECT_EQ(heardHz(*reopened, 62), tuned);

  auto plain = makeSynth();
  const double equal = heardHz(*plain, 62);
  auto withoutTuning = *state;
  withoutTuning.dictionary()->erase(std::string(QuorvaneAudioUnit::kTuningScaleKey));
  reopened->setFullState(withoutTuning);
  EXPECT_FALSE(reopened->tuning());
  EXPECT_EQ(heardHz(*reopened, 62), equal);

  auto unreadable = *state;
  (*unreadable.dictionary())[std::string(QuorvaneAudioUnit::kTuningScaleKey)] =
      foundation::PropertyList("not a scale");
  reopened->setFullState(state);
  reopened->setFullState(unreadable);
  EXPECT_FALSE(reopened->tuning());

  PresetFolder folder;
  folder.writeXML("01-Plain.aupreset", stateWith(foundation::PropertyList::Dictionary{}));
  auto withPresets = makeSynth(folder.path);
  withPresets->setFullState(state);
  withPresets->setCurrentPreset(withPresets->factoryPresets().front());
  EXPECT_FALSE(withPresets->tuning());
  EXPECT_FALSE(withPresets->fullState()->find(QuorvaneAudioUnit::kTuningScaleKey));
}
