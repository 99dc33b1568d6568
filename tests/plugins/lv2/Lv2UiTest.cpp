// Our LV2 editors as a host loads them: each bundle's UI shared object opened with dlopen and
// driven through its descriptor alone, by a host that offers ui:touch and ui:resize but no
// parent window and no display (the editor then has no window, and works all the same).
#include "PallixAU/engine/PallixParameters.h"
#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "platform/foundation/PropertyList.h"
#include "plugins/lv2/Uris.h"
#include "plugins/lv2/ui/Probe.h"
#include "tools/lv2-host/Lv2Host.h"

#include <gtest/gtest.h>
#include <lv2/atom/util.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace {

struct OwnUi {
  std::string binary, pluginUri;
  std::span<const foundation::ParameterRow> rows;
  int width, height; // the window's default size: the editor's and the preset bar above it
  std::size_t knobs; // parameters the editor shows on a knob
  std::string firstPreset, secondPreset;
};

void PrintTo(const OwnUi& ui, std::ostream* out) { *out << ui.binary; }

const OwnUi kOwnUis[] = {
    {OWN_QUORVANE_LV2_BUNDLE "/QuorvaneUI.so", "https://orrinbrook.org/plugins/quorvane",
     quorvane::dsp::kQuorvaneParameters, 720, 480 + 32, 19, "Blues Organ", "Warm Pad"},
    {OWN_PALLIX_LV2_BUNDLE "/PallixUI.so", "https://orrinbrook.org/plugins/pallix",
     pallix::engine::kPallixParameters, 480, 320 + 32, 0, "Slow Burn", "Jump Blues"},
};

// What the UI told the host, in order: a port's new value, or a touch (grabbed or released).
struct Call {
  enum Kind { write, grab, release } kind;
  std::uint32_t port;
  float value = 0;
  bool operator==(const Call&) const = default;
};
void PrintTo(const Call& c, std::ostream* out) {
  *out << (c.kind == Call::write  ? "write "
           : c.kind == Call::grab ? "grab "
                                  : "release ")
       << c.port << " " << c.value;
}

struct FakeHost {
  std::vector<Call> calls;
  std::vector<std::pair<int, int>> sizes;
  // Atoms sent with atom:eventTransfer (format not 0), by port, as the bytes of each.
  std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> atoms;

  static void write(LV2UI_Controller host, std::uint32_t port, std::uint32_t size,
                    std::uint32_t format, const void* buffer) {
    auto& self = *static_cast<FakeHost*>(host);
    if (format != 0) {
      const auto* bytes = static_cast<const std::uint8_t*>(buffer);
      self.atoms.emplace_back(port, std::vector<std::uint8_t>(bytes, bytes + size));
      return;
    }
    ASSERT_EQ(size, sizeof(float));
    self.calls.push_back({Call::write, port, *static_cast<const float*>(buffer)});
  }
  static void touch(LV2UI_Feature_Handle host, std::uint32_t port, bool grabbed) {
    static_cast<FakeHost*>(host)->calls.push_back({grabbed ? Call::grab : Call::release, port});
  }
  static int resize(LV2UI_Feature_Handle host, int width, int height) {
    static_cast<FakeHost*>(host)->sizes.emplace_back(width, height);
    return 0;
  }
};

std::size_t entriesOf(const char* folder) {
  const auto entries = std::filesystem::directory_iterator(folder);
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}
std::size_t threadCount() { return entriesOf("/proc/self/task"); }
std::size_t openFileCount() { return entriesOf("/proc/self/fd"); }

// A thread that was told to stop and has returned may take a moment to leave the process.
std::size_t threadCountSettledAt(std::size_t expected) {
  for (int i = 0; i < 500 && threadCount() != expected; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return threadCount();
}

// A value within the row's range other than current: a whole step for stepped parameters.
float otherValue(const foundation::ParameterRow& row, float current, float fraction) {
  float value = row.min + fraction * (row.max - row.min);
  if (!row.valueNames.empty())
    value = std::round(value);
  return value != current ? value : (value == row.max ? row.min : row.max);
}

class OwnLv2Ui : public ::testing::TestWithParam<OwnUi> {};

TEST_P(OwnLv2Ui, MirrorsThePortsAndWritesOnlyWhatTheEditorChanges) {
  const OwnUi& expected = GetParam();
  const std::size_t threadsBefore = threadCount(), filesBefore = openFileCount();
  void* library = dlopen(expected.binary.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
  ASSERT_NE(entry, nullptr);
  const LV2UI_Descriptor* descriptor = entry(0);
  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(entry(1), nullptr);
  EXPECT_EQ(std::string(descriptor->URI), expected.pluginUri + "#ui");

  FakeHost host;
  LV2UI_Touch touch{&host, &FakeHost::touch};
  LV2UI_Resize resize{&host, &FakeHost::resize};
  const LV2_Feature touchFeature{LV2_UI__touch, &touch}, resizeFeature{LV2_UI__resize, &resize},
      idleFeature{LV2_UI__idleInterface, nullptr};
  const LV2_Feature* features[] = {&touchFeature, &resizeFeature, &idleFeature, nullptr};
  const std::string bundle = std::filesystem::path(expected.binary).parent_path().string() + "/";
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = descriptor->instantiate(descriptor, expected.pluginUri.c_str(), bundle.c_str(),
                                            &FakeHost::write, &host, &widget, features);
  ASSERT_NE(ui, nullptr);
  const auto* idle =
      static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
  const auto* probe = static_cast<const plugins::lv2::UiProbe*>(
      descriptor->extension_data(plugins::lv2::kProbeUri));
  ASSERT_TRUE(idle && probe && descriptor->extension_data(LV2_UI__resize));
  EXPECT_EQ(host.sizes, (std::vector<std::pair<int, int>>{{expected.width, expected.height}}));
  EXPECT_EQ(idle->idle(ui), 0);
  EXPECT_TRUE(host.calls.empty()) << "showing the unit writes nothing";
  EXPECT_EQ(std::string(probe->presetName(ui)), expected.firstPreset) << "what a new unit holds";

  // The host's values reach the mirror and, once the messages have run, the editor's knobs;
  // none comes back.
  std::size_t knobs = 0;
  for (const auto& row : expected.rows) {
    SCOPED_TRACE(row.identifier);
    const auto port = static_cast<std::uint32_t>(row.address);
    const float value = otherValue(row, probe->mirrorValue(ui, port), 0.3f);
    descriptor->port_event(ui, port, sizeof value, 0, &value);
    EXPECT_EQ(probe->mirrorValue(ui, port), value);
    EXPECT_EQ(idle->idle(ui), 0);
    const float shown = probe->shownValue(ui, port);
    if (!std::isnan(shown)) {
      EXPECT_NEAR(shown, value, 1e-5f * (row.max - row.min));
      ++knobs;
    }
  }
  EXPECT_EQ(knobs, expected.knobs);
  EXPECT_TRUE(host.calls.empty()) << "a port event is never written back";
  EXPECT_EQ(std::string(probe->presetName(ui)), expected.firstPreset + " *");

  // A user's turn of each control: one new value of its port, inside one touch.
  for (const auto& row : expected.rows) {
    SCOPED_TRACE(row.identifier);
    const auto port = static_cast<std::uint32_t>(row.address);
    host.calls.clear();
    ASSERT_TRUE(probe->turn(ui, port, otherValue(row, probe->mirrorValue(ui, port), 0.8f)));
    EXPECT_EQ(idle->idle(ui), 0);
    const float written = probe->mirrorValue(ui, port);
    EXPECT_EQ(host.calls,
              (std::vector<Call>{
                  {Call::grab, port}, {Call::write, port, written}, {Call::release, port}}));
  }

  descriptor->cleanup(ui);
  EXPECT_EQ(threadCountSettledAt(threadsBefore), threadsBefore) << "JUCE left a thread running";
  EXPECT_EQ(openFileCount(), filesBefore) << "JUCE's message queue is still open";
  EXPECT_EQ(dlclose(library), 0);
  EXPECT_EQ(dlopen(expected.binary.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr)
      << "the shared object stays loaded";
}

// An LV2 host loads its presets by setting the ports one by one: once they are all in, the bar
// names the preset they make up. (Its own test: the host here runs in this process, so the
// thread count above would count what it leaves.)
TEST_P(OwnLv2Ui, ThePresetBarNamesAHostsPresetFromThePorts) {
  const OwnUi& expected = GetParam();
  Lv2World world({OWN_QUORVANE_LV2_BUNDLE, OWN_PALLIX_LV2_BUNDLE});
  void* library = dlopen(expected.binary.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto* descriptor =
      reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"))(0);
  const std::string bundle = std::filesystem::path(expected.binary).parent_path().string() + "/";
  FakeHost host;
  const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
  const LV2_Feature* features[] = {&idleFeature, nullptr};
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = descriptor->instantiate(descriptor, expected.pluginUri.c_str(), bundle.c_str(),
                                            &FakeHost::write, &host, &widget, features);
  ASSERT_NE(ui, nullptr);
  const auto* idle =
      static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
  const auto* probe = static_cast<const plugins::lv2::UiProbe*>(
      descriptor->extension_data(plugins::lv2::kProbeUri));
  Lv2Instance instance(world, expected.pluginUri, 48000);
  instance.loadPreset(expected.pluginUri + ":preset2");
  for (const auto& row : expected.rows) {
    const float value = instance.control(std::string(row.identifier));
    descriptor->port_event(ui, static_cast<std::uint32_t>(row.address), sizeof value, 0, &value);
  }
  EXPECT_EQ(idle->idle(ui), 0);
  EXPECT_EQ(std::string(probe->presetName(ui)), expected.secondPreset);
  EXPECT_TRUE(host.calls.empty()) << "naming the preset writes nothing";
  descriptor->cleanup(ui);
  EXPECT_EQ(dlclose(library), 0);
}

// The size a host gives the editor goes to the plug-in, which keeps it in its state and, restored,
// tells it to the next editor, which takes it and tells the host: through ports alone.
TEST_P(OwnLv2Ui, TheEditorsSizeTravelsThroughThePluginsState) {
  const OwnUi& expected = GetParam();
  Lv2World world({OWN_QUORVANE_LV2_BUNDLE, OWN_PALLIX_LV2_BUNDLE});
  void* library = dlopen(expected.binary.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto* descriptor =
      reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"))(0);
  const auto* uiResize =
      static_cast<const LV2UI_Resize*>(descriptor->extension_data(LV2_UI__resize));
  const std::string bundle = std::filesystem::path(expected.binary).parent_path().string() + "/";
  FakeHost host;
  LV2UI_Resize resize{&host, &FakeHost::resize};
  const LV2_Feature resizeFeature{LV2_UI__resize, &resize},
      mapFeature{LV2_URID__map, world.mapFeature()}, idleFeature{LV2_UI__idleInterface, nullptr};
  const LV2_Feature* features[] = {&resizeFeature, &mapFeature, &idleFeature, nullptr};
  const auto open = [&] {
    LV2UI_Widget widget = nullptr;
    return descriptor->instantiate(descriptor, expected.pluginUri.c_str(), bundle.c_str(),
                                   &FakeHost::write, &host, &widget, features);
  };
  const auto eventsIn = static_cast<std::uint32_t>(expected.rows.size());
  const bool synthesiser = expected.pluginUri.ends_with("quorvane");
  const std::uint32_t widthPort = eventsIn + (synthesiser ? 3 : 2), heightPort = widthPort + 1;

  LV2UI_Handle first = open();
  uiResize->ui_resize(first, 900, 10000); // held to the editor's limits
  // The synthesiser's editor first asks for the tuning.
  const std::size_t asked = synthesiser ? 1 : 0;
  ASSERT_EQ(host.atoms.size(), asked + 1);
  EXPECT_EQ(host.atoms.back().first, eventsIn);
  descriptor->cleanup(first);

  Lv2Instance plugin(world, expected.pluginUri, 48000);
  EXPECT_EQ(plugin.outputControl("editorWidth"), 0.0f) << "no size kept yet";
  plugin.addAtom(0, *reinterpret_cast<const LV2_Atom*>(host.atoms.back().second.data()));
  plugin.run(64);
  const float width = plugin.outputControl("editorWidth");
  const float height = plugin.outputControl("editorHeight");
  EXPECT_EQ(width, 900.0f);
  EXPECT_GT(height, 0.0f);
  EXPECT_LT(height, 10000.0f);
  Lv2Instance reopened(world, expected.pluginUri, 48000);
  reopened.restoreState(plugin.saveState());
  reopened.run(64);
  EXPECT_EQ(reopened.outputControl("editorWidth"), width);
  EXPECT_EQ(reopened.outputControl("editorHeight"), height);

  host.atoms.clear();
  host.sizes.clear();
  LV2UI_Handle second = open();
  for (const float nonsense : {NAN, 1e30f, -5.0f}) // no size of an editor: nothing changes
    descriptor->port_event(second, heightPort, sizeof nonsense, 0, &nonsense);
  descriptor->port_event(second, widthPort, sizeof width, 0, &width);
  EXPECT_TRUE(host.sizes.size() == 1) << "only its first showing told the host a size";
  descriptor->port_event(second, heightPort, sizeof height, 0, &height);
  EXPECT_EQ(host.sizes.back(), (std::pair{int(width), int(height)}));
  EXPECT_EQ(host.atoms.size(), asked) << "a size the plug-in told is not sent back";
  descriptor->cleanup(second);
  EXPECT_EQ(dlclose(library), 0);
}

// The text of an atom of extras, or nothing for any other atom.
std::optional<std::string> extrasIn(Lv2World& world, const std::vector<std::uint8_t>& bytes) {
  const auto* object = reinterpret_cast<const LV2_Atom_Object*>(bytes.data());
  if (object->atom.type != world.map(LV2_ATOM__Object) ||
      object->body.otype != world.map(plugins::lv2::kExtrasUri))
    return std::nullopt;
  const LV2_Atom* text = nullptr;
  lv2_atom_object_get(object, world.map(plugins::lv2::kExtrasTextUri), &text, 0);
  if (!text || text->type != world.map(LV2_ATOM__String))
    return std::nullopt;
  return std::string(static_cast<const char*>(LV2_ATOM_BODY_CONST(text)));
}

std::string tuningExtras(const std::string& scale) {
  return foundation::PropertyList(
             foundation::PropertyList::Dictionary{{"tuningScale", foundation::PropertyList(scale)}})
      .toXML();
}

// The synthesiser's editor and its plug-in hold the same tuning: the editor asks for it, takes
// what the plug-in tells, and sends what it changes, once; a change too large to send is undone.
TEST(QuorvaneLv2Ui, TheTuningTravelsBetweenTheEditorAndThePlugin) {
  const OwnUi& expected = kOwnUis[0];
  Lv2World world({OWN_QUORVANE_LV2_BUNDLE, OWN_PALLIX_LV2_BUNDLE});
  void* library = dlopen(expected.binary.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto* descriptor =
      reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"))(0);
  const auto* idle =
      static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
  const auto* probe = static_cast<const plugins::lv2::UiProbe*>(
      descriptor->extension_data(plugins::lv2::kProbeUri));
  const std::string bundle = std::filesystem::path(expected.binary).parent_path().string() + "/";
  FakeHost host;
  const LV2_Feature mapFeature{LV2_URID__map, world.mapFeature()},
      idleFeature{LV2_UI__idleInterface, nullptr};
  const LV2_Feature* features[] = {&mapFeature, &idleFeature, nullptr};
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = descriptor->instantiate(descriptor, expected.pluginUri.c_str(), bundle.c_str(),
                                            &FakeHost::write, &host, &widget, features);
  ASSERT_NE(ui, nullptr);
  const auto eventsIn = static_cast<std::uint32_t>(expected.rows.size());
  const std::uint32_t notify = eventsIn + 5; // after the audio and the size outputs
  const std::uint32_t transfer = world.map(LV2_ATOM__eventTransfer);
  Lv2Instance plugin(world, expected.pluginUri, 48000);
  // What the host passes on each way.
  const auto toPlugin = [&] {
    for (const auto& [port, bytes] : host.atoms) {
      EXPECT_EQ(port, eventsIn);
      plugin.addAtom(0, *reinterpret_cast<const LV2_Atom*>(bytes.data()));
    }
    host.atoms.clear();
    plugin.run(64);
    plugin.run(64); // the worker's answer goes out on the next run
  };
  std::vector<std::vector<std::uint8_t>> told;
  const auto toEditor = [&] {
    for (const auto& bytes : told)
      descriptor->port_event(ui, notify, std::uint32_t(bytes.size()), transfer, bytes.data());
  };

  ASSERT_EQ(host.atoms.size(), 1u) << "the editor asks for the tuning";
  const std::string equal = probe->extras(ui);
  toPlugin();
  EXPECT_TRUE(plugin.sentAtoms().empty()) << "answered on the first run, and only then";

  const std::string tuned = tuningExtras("! x.scl\nfive equal\n 5\n!\n 240.0\n 480.0\n 720.0\n "
                                         "960.0\n 2/1\n");
  ASSERT_TRUE(probe->changeExtras(ui, tuned.c_str()));
  EXPECT_EQ(idle->idle(ui), 0);
  ASSERT_EQ(host.atoms.size(), 1u);
  EXPECT_EQ(extrasIn(world, host.atoms[0].second), tuned);
  EXPECT_EQ(idle->idle(ui), 0);
  EXPECT_EQ(host.atoms.size(), 1u) << "sent once";
  toPlugin();
  ASSERT_EQ(plugin.sentAtoms().size(), 1u);
  EXPECT_EQ(extrasIn(world, plugin.sentAtoms()[0]), tuned) << "the plug-in took it";
  EXPECT_NE(plugin.saveState().find("tuningScale"), std::string::npos);
  told = plugin.sentAtoms();
  toEditor();
  EXPECT_EQ(idle->idle(ui), 0);
  EXPECT_TRUE(host.atoms.empty()) << "what the plug-in tells is not sent back";

  // A change in the editor is not undone by an answer older than it.
  const std::string retuned = tuningExtras("! y.scl\nthree equal\n 3\n!\n 400.0\n 800.0\n 2/1\n");
  ASSERT_TRUE(probe->changeExtras(ui, retuned.c_str()));
  toEditor();
  EXPECT_EQ(std::string(probe->extras(ui)), retuned);
  EXPECT_EQ(idle->idle(ui), 0);
  ASSERT_EQ(host.atoms.size(), 1u);
  EXPECT_EQ(extrasIn(world, host.atoms[0].second), retuned);
  toPlugin();
  told = plugin.sentAtoms();
  toEditor();

  // Beyond what a message may carry: nothing sent, and the editor shows the plug-in's tuning.
  const std::string huge =
      tuningExtras("! " + std::string(70 * 1024, 'z') + "\nbig\n 1\n!\n 2/1\n");
  ASSERT_TRUE(probe->changeExtras(ui, huge.c_str()));
  EXPECT_EQ(idle->idle(ui), 0);
  EXPECT_TRUE(host.atoms.empty());
  EXPECT_EQ(std::string(probe->extras(ui)), retuned);

  // The plug-in back to equal temperament (a state restored): the editor follows.
  plugin.restoreState(Lv2Instance(world, expected.pluginUri, 48000).saveState());
  plugin.run(64);
  told = plugin.sentAtoms();
  ASSERT_EQ(told.size(), 1u);
  toEditor();
  EXPECT_EQ(std::string(probe->extras(ui)), equal);
  EXPECT_FALSE(probe->changeExtras(ui, "not a property list"));
  descriptor->cleanup(ui);
  EXPECT_EQ(dlclose(library), 0);
}

INSTANTIATE_TEST_SUITE_P(Bundles, OwnLv2Ui, ::testing::ValuesIn(kOwnUis), [](const auto& info) {
  return std::filesystem::path(info.param.binary).stem().string();
});

} // namespace
