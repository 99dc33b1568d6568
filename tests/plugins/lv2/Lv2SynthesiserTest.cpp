// The synthesiser's LV2 plug-in against its unit rendered directly with the same render calls
// and events: MIDI at its own frame, control changes at the next call, bad control values,
// every block size up to the announced maximum and beyond it.
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/audiounit/RenderEventList.h"
#include "plugins/lv2/Uris.h"
#include "tests/plugins/lv2/Lv2Bundles.h"
#include "tests/support/HostRig.h"

#include <gtest/gtest.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <sstream>

namespace {

constexpr double kRate = 48000;
constexpr std::uint32_t kMaximum = 512;

std::shared_ptr<AUAudioUnit> synthesiserAt(double rate) {
  auto unit = unitOf(kOwnPlugins[0]);
  (void)unit->outputBusses()[0].setFormat(AudioFormat::standard(rate, 2));
  return unit;
}

struct Note {
  std::uint32_t frame; // of the run
  std::array<std::uint8_t, 3> bytes;
};

// The plug-in and its unit played alike: each run of the plug-in is, for the unit, calls of at
// most kMaximum frames with the run's MIDI at its sample times, and a control change is a
// parameter event at the run's first frame.
class SideBySide {
public:
  SideBySide()
      : plugin(ownWorld(), kQuorvaneUri, kRate, kMaximum), unit(synthesiserAt(kRate)),
        rig(*unit, kMaximum), events(256) {}

  void set(const char* identifier, float control, std::optional<float> heard) {
    plugin.setControl(identifier, control);
    if (heard)
      changes.push_back(
          {unit->parameterTree()->parameterWithIdentifier(identifier)->address(), *heard});
  }

  // Runs both; false at the first frame where they differ.
  ::testing::AssertionResult run(std::uint32_t frames, const std::vector<Note>& notes = {}) {
    for (const Note& n : notes)
      plugin.addMidi(n.frame, n.bytes);
    plugin.run(frames);
    const std::vector<float> left = plugin.output(0), right = plugin.output(1);
    for (std::uint32_t start = 0; start < frames; start += kMaximum) {
      const std::uint32_t slice = std::min(kMaximum, frames - start);
      events.clear();
      if (start == 0)
        for (const auto& [address, value] : changes)
          events.addParameter(rig.time, address, value);
      for (const Note& n : notes)
        if (n.frame >= start && n.frame < start + slice)
          events.addMIDI(rig.time + (n.frame - start), 0, n.bytes.data(), 3);
      rig(slice, events.head());
      for (std::uint32_t i = 0; i < slice; ++i)
        if (left[start + i] != rig.left[i] || right[start + i] != rig.right[i])
          return ::testing::AssertionFailure()
                 << "frame " << start + i << " of " << frames << ": " << left[start + i] << ", "
                 << right[start + i] << " against the unit's " << rig.left[i] << ", "
                 << rig.right[i];
      heard = std::max({heard, peak(rig.left.data(), slice), peak(rig.right.data(), slice)});
    }
    changes.clear();
    return ::testing::AssertionSuccess();
  }

  Lv2Instance plugin;
  std::shared_ptr<AUAudioUnit> unit;
  HostRig rig;
  RenderEventList events;
  std::vector<std::pair<AUParameterAddress, float>> changes;
  float heard = 0;
};

// The synthesiser's random sources (drift, the reverb's patterns) start from the system's random
// device in each unit: with them off, two units render alike.
void withoutRandomness(SideBySide& both) {
  both.set("drift", 0, 0);
  both.set("space", 0, 0);
}

TEST(QuorvaneLv2, MidiSoundsAtItsOwnFrameInEveryBlockSize) {
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  SideBySide both;
  withoutRandomness(both);
  ASSERT_TRUE(both.run(kMaximum));
  // Every length from 1 to the maximum, then runs longer than it (split by the plug-in).
  std::vector<std::uint32_t> lengths;
  for (std::uint32_t frames = 1; frames <= kMaximum; frames += 1 + frames / 8)
    lengths.push_back(frames);
  lengths.insert(lengths.end(), {kMaximum, kMaximum + 1, 3 * kMaximum + 17, 4096});
  int note = 0;
  for (const std::uint32_t frames : lengths) {
    std::uniform_int_distribution<std::uint32_t> frame(0, frames - 1);
    std::vector<Note> notes;
    for (int i = 0; i < 3; ++i) {
      const auto key = std::uint8_t(40 + note++ % 40);
      notes.push_back({frame(random), {0x90, key, 100}});
      notes.push_back({frame(random), {0x80, std::uint8_t(key - 12), 0}});
    }
    std::sort(notes.begin(), notes.end(),
              [](const Note& a, const Note& b) { return a.frame < b.frame; });
    ASSERT_TRUE(both.run(frames, notes));
  }
  EXPECT_GT(both.heard, 0.01f);
}

TEST(QuorvaneLv2, AControlChangeIsHeardAtTheNextCall) {
  SideBySide both, unchanged;
  withoutRandomness(both);
  withoutRandomness(unchanged);
  const std::vector<Note> chord{{0, {0x90, 48, 110}}, {0, {0x90, 55, 110}}};
  ASSERT_TRUE(both.run(kMaximum, chord));
  ASSERT_TRUE(unchanged.run(kMaximum, chord));
  both.set("frequency", 0.2f, 0.2f);
  both.set("filterType", 2, 2);
  ASSERT_TRUE(both.run(kMaximum));
  ASSERT_TRUE(unchanged.run(kMaximum));
  EXPECT_NE(both.plugin.output(0), unchanged.plugin.output(0));
}

// Not a number leaves the parameter as it was; out of range is held to the range.
TEST(QuorvaneLv2, BadControlValuesAreNeverPassedOn) {
  SideBySide both;
  withoutRandomness(both);
  ASSERT_TRUE(both.run(kMaximum, {{0, {0x90, 60, 100}}}));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* identifier;
    float control;
    std::optional<float> heard;
  };
  for (const Case& c :
       {Case{"frequency", nan, {}}, Case{"frequency", 1e9f, 1.0f}, Case{"frequency", inf, {}},
        Case{"frequency", -5.0f, 0.0f}, Case{"frequency", -inf, {}}, Case{"attack", 1e9f, 20.0f},
        Case{"attack", 0.0f, 0.001f}, Case{"attack", nan, {}}, Case{"filterType", 7.0f, 2.0f}}) {
    both.set(c.identifier, c.control, c.heard);
    ASSERT_TRUE(both.run(kMaximum)) << c.identifier << " " << c.control;
  }
}

// The messages of the editor's tuning, as the editor writes them: the unit's extras as a property
// list, in an object.
std::string tuningText(const std::optional<std::string>& scale) {
  foundation::PropertyList::Dictionary extras;
  if (scale)
    extras[std::string(quorvane::unit::QuorvaneAudioUnit::kTuningScaleKey)] =
        foundation::PropertyList(*scale);
  return foundation::PropertyList(std::move(extras)).toXML();
}

std::vector<std::uint64_t> extrasMessage(const std::string& text) {
  Lv2World& world = ownWorld();
  std::vector<std::uint64_t> buffer(text.size() / 8 + 64);
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, world.mapFeature());
  lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(buffer.data()),
                            buffer.size() * 8);
  LV2_Atom_Forge_Frame frame;
  lv2_atom_forge_object(&forge, &frame, 0, world.map(plugins::lv2::kExtrasUri));
  lv2_atom_forge_key(&forge, world.map(plugins::lv2::kExtrasTextUri));
  lv2_atom_forge_string(&forge, text.data(), std::uint32_t(text.size()));
  lv2_atom_forge_pop(&forge, &frame);
  return buffer;
}

const LV2_Atom& atomIn(const std::vector<std::uint64_t>& buffer) {
  return *reinterpret_cast<const LV2_Atom*>(buffer.data());
}

// What the last run told the editor of the unit's extras.
std::optional<std::string> extrasTold(const Lv2Instance& plugin) {
  Lv2World& world = ownWorld();
  std::optional<std::string> told;
  for (const auto& bytes : plugin.sentAtoms()) {
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(bytes.data());
    if (object->body.otype != world.map(plugins::lv2::kExtrasUri))
      continue;
    const LV2_Atom* text = nullptr;
    lv2_atom_object_get(object, world.map(plugins::lv2::kExtrasTextUri), &text, 0);
    if (text && text->type == world.map(LV2_ATOM__String))
      told = std::string(static_cast<const char*>(LV2_ATOM_BODY_CONST(text)));
  }
  return told;
}

std::string shippedScale(const char* name) {
  std::ifstream file(std::string(QUORVANE_RESOURCES) + "/tunings/" + name);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void tune(SideBySide& both, const std::string& scale) {
  ASSERT_FALSE(static_cast<quorvane::unit::QuorvaneAudioUnit&>(*both.unit).setTuning(scale, {}));
}

// The editor's tuning reaches the sound through the worker, comes back to the editor, stays in
// the plug-in's state, and nothing but a text of extras changes it.
TEST(QuorvaneLv2, ATuningFromTheEditorIsPlayedToldBackAndKept) {
  const std::string scale = shippedScale("19-tone equal.scl");
  ASSERT_FALSE(scale.empty());
  SideBySide both;
  withoutRandomness(both);
  ASSERT_TRUE(both.run(64));
  EXPECT_EQ(extrasTold(both.plugin), tuningText(std::nullopt)) << "told once, when it starts";
  ASSERT_TRUE(both.run(64));
  EXPECT_EQ(extrasTold(both.plugin), std::nullopt);

  const auto message = extrasMessage(tuningText(scale));
  both.plugin.addAtom(0, atomIn(message));
  tune(both, scale);
  ASSERT_TRUE(both.run(64));
  ASSERT_TRUE(both.run(64)); // the worker answers after the run
  EXPECT_EQ(extrasTold(both.plugin), tuningText(scale));
  const std::vector<Note> notes{{0, {0x90, 61, 100}}, {0, {0x90, 67, 90}}};
  ASSERT_TRUE(both.run(kMaximum, notes)) << "the plug-in plays in the tuning the unit plays in";

  // A text that is no extras does not change the tuning, and is answered with what it holds.
  const auto nonsense = extrasMessage("not a property list");
  both.plugin.addAtom(0, atomIn(nonsense));
  ASSERT_TRUE(both.run(64));
  ASSERT_TRUE(both.run(64));
  EXPECT_EQ(extrasTold(both.plugin), tuningText(scale));

  SideBySide reopened;
  withoutRandomness(reopened);
  reopened.plugin.restoreState(both.plugin.saveState());
  tune(reopened, scale);
  ASSERT_TRUE(reopened.run(64));
  EXPECT_EQ(extrasTold(reopened.plugin), tuningText(scale)) << "a restored tuning is told";
  ASSERT_TRUE(reopened.run(kMaximum, notes)) << "a restored session plays tuned";

  // Back to equal temperament: the unit alongside plays untuned, as the plug-in must.
  const auto equal = extrasMessage(tuningText(std::nullopt));
  reopened.plugin.addAtom(0, atomIn(equal));
  static_cast<quorvane::unit::QuorvaneAudioUnit&>(*reopened.unit).clearTuning();
  ASSERT_TRUE(reopened.run(64));
  ASSERT_TRUE(reopened.run(64));
  EXPECT_EQ(extrasTold(reopened.plugin), tuningText(std::nullopt));
  ASSERT_TRUE(reopened.run(kMaximum, {{0, {0x90, 62, 100}}}));
  EXPECT_GT(reopened.heard, 0.01f);
}

// The mod wheel, expression, pitch bend and a wider bend range through the plug-in's ports sound
// as they do in the unit, and they are heard.
TEST(QuorvaneLv2, ControllersAndTheBendRangeSoundAsInTheUnit) {
  SideBySide both, plain;
  for (SideBySide* s : {&both, &plain}) {
    withoutRandomness(*s);
    s->set("motion", 0.2f, 0.2f);
  }
  both.set("bendRange", 12, 12);
  const std::vector<Note> chord{{0, {0x90, 57, 100}}, {0, {0x90, 64, 100}}};
  const std::vector<Note> moves{{10, {0xB0, 1, 127}}, {20, {0xB0, 11, 40}}, {30, {0xE0, 0, 0x60}}};
  ASSERT_TRUE(both.run(kMaximum, chord));
  ASSERT_TRUE(plain.run(kMaximum, chord));
  ASSERT_TRUE(both.run(3 * kMaximum, moves));
  ASSERT_TRUE(plain.run(3 * kMaximum));
  EXPECT_NE(both.plugin.output(0), plain.plugin.output(0));
  ASSERT_TRUE(both.run(kMaximum, {{0, {0xB0, 121, 0}}})) << "all of them reset";
  EXPECT_GT(both.heard, 0.01f);
}

} // namespace
