// The generated bundles as hosts read them: every port against the parameter table and the
// unit's own values, the other ports, and every preset against the unit's factory preset.
#include "tests/plugins/lv2/Lv2Bundles.h"

#include "platform/foundation/ParameterText.h"

#include <gtest/gtest.h>
#include <lv2/core/lv2.h>
#include <lv2/port-props/port-props.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace {

using Node = std::unique_ptr<LilvNode, decltype(&lilv_node_free)>;
Node uri(const std::string& text) {
  return {lilv_new_uri(ownWorld().world(), text.c_str()), &lilv_node_free};
}

class OwnBundle : public ::testing::TestWithParam<OwnPlugin> {
protected:
  const LilvPlugin* plugin() const { return ownWorld().plugin(GetParam().uri); }
  bool portIs(const LilvPort* port, const char* type) const {
    return lilv_port_is_a(plugin(), port, uri(type).get());
  }
};

TEST_P(OwnBundle, HasOneControlInputPerParameterInAddressOrder) {
  const OwnPlugin& p = GetParam();
  ASSERT_NE(plugin(), nullptr);
  const auto unit = unitOf(p);
  const std::vector<float> defaults = valuesOf(*unit, p.rows.size());
  for (const auto& row : p.rows) {
    SCOPED_TRACE(std::string(row.identifier));
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin(), std::uint32_t(row.address));
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(portIs(port, LILV_URI_CONTROL_PORT) && portIs(port, LILV_URI_INPUT_PORT));
    EXPECT_EQ(lilv_node_as_string(lilv_port_get_symbol(plugin(), port)), row.identifier);
    Node name(lilv_port_get_name(plugin(), port), &lilv_node_free);
    EXPECT_EQ(lilv_node_as_string(name.get()), row.name);
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin(), port, &def, &min, &max);
    EXPECT_EQ(lilv_node_as_float(min), row.min);
    EXPECT_EQ(lilv_node_as_float(max), row.max);
    // A new instance sounds as a new unit does: its first factory preset.
    EXPECT_EQ(lilv_node_as_float(def), defaults[row.address]);
    for (LilvNode* n : {def, min, max})
      lilv_node_free(n);

    const auto has = [&](const char* property) {
      return lilv_port_has_property(plugin(), port, uri(property).get());
    };
    const bool stepped = !row.valueNames.empty();
    EXPECT_EQ(has(LV2_CORE__integer), stepped);
    EXPECT_EQ(has(LV2_CORE__enumeration), stepped);
    EXPECT_EQ(has(LV2_PORT_PROPS__logarithmic),
              row.taper == foundation::ParameterTaper::logarithmic);
    std::map<float, std::string> points;
    LilvScalePoints* scalePoints = lilv_port_get_scale_points(plugin(), port);
    LILV_FOREACH(scale_points, i, scalePoints) {
      const LilvScalePoint* point = lilv_scale_points_get(scalePoints, i);
      points[lilv_node_as_float(lilv_scale_point_get_value(point))] =
          lilv_node_as_string(lilv_scale_point_get_label(point));
    }
    lilv_scale_points_free(scalePoints);
    std::map<float, std::string> names;
    for (std::size_t i = 0; i < row.valueNames.size(); ++i)
      names[row.min + float(i)] = foundation::displayText(row, row.min + float(i));
    EXPECT_EQ(points, names); // as the editors and VST3 hosts show them: "12 dB"

    LilvNodes* units = lilv_port_get_value(plugin(), port, uri(LV2_UNITS__unit).get());
    const std::string unitName =
        units && lilv_nodes_size(units) ? lilv_node_as_uri(lilv_nodes_get_first(units)) : "";
    lilv_nodes_free(units);
    // The unit its values read in, unless they are a normalised control (the cutoff).
    const auto unit = row.reading.high > row.reading.low ? foundation::ParameterUnit::generic
                      : row.reading.unit != foundation::ParameterUnit::generic ? row.reading.unit
                                                                               : row.unit;
    const std::string expected = unit == foundation::ParameterUnit::seconds ? LV2_UNITS__s
                                 : unit == foundation::ParameterUnit::hertz ? LV2_UNITS__hz
                                                                            : "";
    EXPECT_EQ(unitName, expected);
  }
}

TEST_P(OwnBundle, TakesMidiAndTimeAndGivesSoundOrMidi) {
  const OwnPlugin& p = GetParam();
  const bool synthesiser = p.uri == kQuorvaneUri;
  const auto count = std::uint32_t(p.rows.size());
  const std::uint32_t sizes = count + (synthesiser ? 3 : 2); // the editor's width and height
  // The synthesiser's notify output comes last.
  ASSERT_EQ(lilv_plugin_get_num_ports(plugin()), sizes + (synthesiser ? 3 : 2));
  const LilvPort* in = lilv_plugin_get_port_by_index(plugin(), count);
  EXPECT_TRUE(portIs(in, LILV_URI_ATOM_PORT) && portIs(in, LILV_URI_INPUT_PORT));
  EXPECT_TRUE(lilv_port_supports_event(plugin(), in, uri(LILV_URI_MIDI_EVENT).get()));
  EXPECT_TRUE(lilv_port_supports_event(plugin(), in, uri(LV2_TIME__Position).get()));
  std::uint32_t audio = 0;
  for (std::uint32_t i = count + 1; i < sizes; ++i) {
    const LilvPort* out = lilv_plugin_get_port_by_index(plugin(), i);
    EXPECT_TRUE(portIs(out, LILV_URI_OUTPUT_PORT));
    audio += portIs(out, LILV_URI_AUDIO_PORT);
    if (!synthesiser) {
      EXPECT_TRUE(portIs(out, LILV_URI_ATOM_PORT) &&
                  lilv_port_supports_event(plugin(), out, uri(LILV_URI_MIDI_EVENT).get()));
    }
  }
  EXPECT_EQ(audio, synthesiser ? 2u : 0u);
  for (std::uint32_t i : {sizes, sizes + 1}) {
    const LilvPort* size = lilv_plugin_get_port_by_index(plugin(), i);
    EXPECT_TRUE(portIs(size, LILV_URI_CONTROL_PORT) && portIs(size, LILV_URI_OUTPUT_PORT));
    EXPECT_TRUE(lilv_port_has_property(plugin(), size, uri(LV2_PORT_PROPS__notOnGUI).get()));
  }
  if (synthesiser) {
    const LilvPort* notify = lilv_plugin_get_port_by_index(plugin(), sizes + 2);
    EXPECT_TRUE(portIs(notify, LILV_URI_ATOM_PORT) && portIs(notify, LILV_URI_OUTPUT_PORT));
    EXPECT_TRUE(lilv_port_has_property(plugin(), notify, uri(LV2_CORE__connectionOptional).get()));
    EXPECT_TRUE(lilv_plugin_has_extension_data(plugin(), uri(LV2_WORKER__interface).get()));
  }
  EXPECT_TRUE(lilv_world_ask(
      ownWorld().world(), uri(p.uri).get(), uri(LILV_NS_RDF "type").get(),
      uri(synthesiser ? LV2_CORE__InstrumentPlugin : LV2_CORE_PREFIX "MIDIPlugin").get()));
  EXPECT_TRUE(lilv_plugin_has_feature(plugin(), uri(LV2_CORE__hardRTCapable).get()));
  LilvNodes* required = lilv_plugin_get_required_features(plugin());
  ASSERT_EQ(lilv_nodes_size(required), 1u);
  EXPECT_STREQ(lilv_node_as_uri(lilv_nodes_get_first(required)), LV2_URID__map);
  lilv_nodes_free(required);
}

// Each factory preset, applied as a host applies an LV2 preset, leaves the controls at the
// values the unit has after choosing that preset, and the preset lists under its name.
TEST_P(OwnBundle, EveryPresetIsTheUnitsFactoryPreset) {
  const OwnPlugin& p = GetParam();
  const auto unit = unitOf(p);
  const auto presets = unit->factoryPresets();
  ASSERT_FALSE(presets.empty());
  LilvNodes* related = lilv_plugin_get_related(plugin(), uri(LV2_PRESETS__Preset).get());
  EXPECT_EQ(lilv_nodes_size(related), presets.size());
  lilv_nodes_free(related);
  Lv2Instance instance(ownWorld(), p.uri, 48000);
  for (const AUAudioUnitPreset& preset : presets) {
    SCOPED_TRACE(preset.name);
    const std::string presetUri = p.uri + ":preset" + std::to_string(preset.number + 1);
    instance.loadPreset(presetUri);
    unit->setCurrentPreset(preset);
    EXPECT_EQ(controlsOf(instance, p), valuesOf(*unit, p.rows.size()));
    const Node label(lilv_world_get(ownWorld().world(), uri(presetUri).get(),
                                    uri(LILV_NS_RDFS "label").get(), nullptr),
                     &lilv_node_free);
    ASSERT_TRUE(label);
    EXPECT_EQ(lilv_node_as_string(label.get()), preset.name);
  }
}

// Its one editor, as a host finds it: an X11 UI in the bundle's own shared object, which needs
// nothing but idle calls (no access to the plug-in's instance) and takes what else is offered.
TEST_P(OwnBundle, HasAnX11EditorThatNeedsOnlyIdleCalls) {
  LilvUIs* uis = lilv_plugin_get_uis(plugin());
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  EXPECT_EQ(lilv_node_as_uri(lilv_ui_get_uri(ui)), GetParam().uri + "#ui");
  EXPECT_TRUE(lilv_ui_is_a(ui, uri(LV2_UI__X11UI).get()));
  char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
  EXPECT_TRUE(std::filesystem::is_regular_file(binary)) << binary;
  lilv_free(binary);
  const auto featuresOf = [&](const char* property) {
    std::set<std::string> names;
    LilvNodes* nodes = lilv_world_find_nodes(ownWorld().world(), lilv_ui_get_uri(ui),
                                             uri(property).get(), nullptr);
    LILV_FOREACH(nodes, i, nodes) { names.insert(lilv_node_as_uri(lilv_nodes_get(nodes, i))); }
    lilv_nodes_free(nodes);
    return names;
  };
  EXPECT_EQ(featuresOf(LV2_CORE__requiredFeature), std::set<std::string>{LV2_UI__idleInterface});
  EXPECT_EQ(featuresOf(LV2_CORE__optionalFeature),
            (std::set<std::string>{LV2_UI__parent, LV2_UI__resize, LV2_UI__touch, LV2_URID__map}));
  EXPECT_EQ(featuresOf(LV2_CORE__extensionData),
            (std::set<std::string>{LV2_UI__idleInterface, LV2_UI__resize}));
  lilv_uis_free(uis);
}

INSTANTIATE_TEST_SUITE_P(Plugins, OwnBundle, ::testing::ValuesIn(kOwnPlugins),
                         [](const auto& info) {
                           return info.param.uri == kQuorvaneUri ? "Quorvane" : "Pallix";
                         });

} // namespace
