// Both LV2 bundles of the build tree, loaded and played as an LV2 host does.
#include "tests/plugins/Lv2Driver.h"
#include "tests/plugins/PallixEvents.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/units/units.h>

#include <map>
#include <memory>
#include <set>

namespace {

constexpr double kRate = 48000;
constexpr std::uint32_t kBlock = 512;

Lv2World& world() {
  static Lv2World shared({QUORVANE_LV2_BUNDLE, PALLIX_LV2_BUNDLE});
  return shared;
}

// What a host reads of a parameter in the bundle's description.
struct DescribedParameter {
  std::string range;
  std::set<std::string> properties;
  std::string unit;
  std::map<float, std::string> scalePoints;
};

// A lilv node freed with its owner.
using Node = std::unique_ptr<LilvNode, decltype(&lilv_node_free)>;
Node node(LilvNode* n) { return {n, &lilv_node_free}; }
Node uri(const std::string& text) { return node(lilv_new_uri(world().world(), text.c_str())); }

std::string text(const LilvNode* n) { return n ? lilv_node_as_string(n) : ""; }

// Every object of subject and predicate.
template <typename Each>
void objects(const LilvNode* subject, const std::string& predicate, Each each) {
  LilvNodes* found = lilv_world_find_nodes(world().world(), subject, uri(predicate).get(), nullptr);
  LILV_FOREACH(nodes, i, found)
  each(lilv_nodes_get(found, i));
  lilv_nodes_free(found);
}

Node object(const LilvNode* subject, const std::string& predicate) {
  return node(lilv_world_get(world().world(), subject, uri(predicate).get(), nullptr));
}

DescribedParameter described(const std::string& pluginUri, const std::string& identifier) {
  lilv_plugin_get_num_ports(world().plugin(pluginUri)); // lilv reads dsp.ttl on first use
  const Node subject = uri(pluginUri + ":" + identifier);
  DescribedParameter result{text(object(subject.get(), LILV_NS_RDFS "range").get()),
                            {},
                            text(object(subject.get(), LV2_UNITS__unit).get()),
                            {}};
  objects(subject.get(), LILV_NS_LV2 "portProperty",
          [&](const LilvNode* p) { result.properties.insert(text(p)); });
  objects(subject.get(), LILV_NS_LV2 "scalePoint", [&](const LilvNode* point) {
    result.scalePoints[lilv_node_as_float(object(point, LILV_NS_RDF "value").get())] =
        text(object(point, LILV_NS_RDFS "label").get());
  });
  return result;
}

bool hasNoteOn(const std::vector<Lv2MidiMessage>& sent) {
  for (const auto& m : sent)
    if ((m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] > 0)
      return true;
  return false;
}

} // namespace

// A host knows the values only from the plug-in's reports: all of them, from the first block
// on and whenever a program or state replaces them.
TEST(PallixLv2, ReportsEveryValueOnInstantiationProgramAndRestore) {
  Lv2Instance generator(world(), kPallix, kRate);
  generator.run(kBlock);
  auto reported = generator.takeReported();
  EXPECT_EQ(reported.size(), 8u);
  EXPECT_EQ(reported["rootNote"], 9.0f); // A, as the first program has it
  generator.loadPreset(kPallix + ":preset2");
  generator.run(kBlock);
  const auto jumpBlues = generator.takeReported();
  EXPECT_EQ(jumpBlues.size(), 8u);
  EXPECT_NE(jumpBlues, reported);

  Lv2Instance restored(world(), kPallix, kRate);
  restored.run(kBlock);
  restored.takeReported();
  restored.restoreState(generator.saveState());
  restored.run(kBlock);
  EXPECT_EQ(restored.takeReported(), jumpBlues);
}

TEST(Lv2Plugins, DescriptionsGiveStepsByNameUnitsScalesAndClass) {
  const std::string lv2 = LILV_NS_LV2;
  const auto rootNote = described(kPallix, "rootNote");
  EXPECT_EQ(rootNote.range, "http://lv2plug.in/ns/ext/atom#Int");
  EXPECT_EQ(rootNote.properties, (std::set{lv2 + "integer", lv2 + "enumeration"}));
  EXPECT_EQ(rootNote.scalePoints.size(), 12u);
  EXPECT_EQ(rootNote.scalePoints.at(7), "G");
  EXPECT_EQ(described(kPallix, "mode").scalePoints,
            (std::map<float, std::string>{{0, "Major"}, {1, "Minor"}}));
  EXPECT_EQ(described(kQuorvane, "filterType").scalePoints,
            (std::map<float, std::string>{{0, "LP"}, {1, "BP"}, {2, "HP"}}));
  EXPECT_EQ(described(kQuorvane, "filterRolloff").scalePoints,
            (std::map<float, std::string>{{0, "12"}, {1, "24"}}));
  const std::string units = "http://lv2plug.in/ns/extensions/units#";
  const std::set<std::string> logarithmic{"http://lv2plug.in/ns/ext/port-props#logarithmic"};
  for (const auto& [identifier, unit] :
       {std::pair{"attack", "s"}, {"release", "s"}, {"rate", "hz"}}) {
    const auto parameter = described(kQuorvane, identifier);
    EXPECT_EQ(parameter.unit, units + unit) << identifier;
    EXPECT_EQ(parameter.properties, logarithmic) << identifier;
  }
  EXPECT_TRUE(described(kQuorvane, "shape").properties.empty());

  EXPECT_TRUE(lilv_world_ask(world().world(), uri(kPallix).get(), uri(LILV_NS_RDF "type").get(),
                             uri(LILV_NS_LV2 "MIDIPlugin").get()));
  // Both take MIDI in: the generator passes the track's on beside its own notes.
  const Node midiEvent = uri(LV2_MIDI__MidiEvent), input = uri(LILV_URI_INPUT_PORT),
             atom = uri(LV2_ATOM__AtomPort);
  for (const auto& [pluginUri, takesMidi] : {std::pair{kPallix, true}, {kQuorvane, true}}) {
    const LilvPlugin* plugin = world().plugin(pluginUri);
    bool midiIn = false;
    for (std::uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin); ++i) {
      const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
      midiIn = midiIn || (lilv_port_is_a(plugin, port, input.get()) &&
                          lilv_port_is_a(plugin, port, atom.get()) &&
                          lilv_port_supports_event(plugin, port, midiEvent.get()));
    }
    EXPECT_EQ(midiIn, takesMidi) << pluginUri;
    // JUCE's empty address was the description file
    EXPECT_EQ(node(lilv_plugin_get_author_email(plugin)), nullptr) << pluginUri;
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
    std::vector<TimedMidi> sent;
    for (int block = 0; block < 750; ++block) {
      if (everyBlock || block == 0)
        generator.addPosition(0, block * double(kBlock) / samplesPerBeat, 120, true, 4, 4,
                              withBeat);
      for (const Lv2MidiMessage& m : generator.run(kBlock))
        sent.push_back({m.sampleTime, m.bytes});
    }
    expectLinedUp(sent, expected, samplesPerBeat, 750 * kBlock);

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
