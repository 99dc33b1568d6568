// The preset menu's model over a real synthesiser: contents and order, loading, Save enabling,
// Save and Save As, and files that are not presets.
#include "platform/audiounit/PresetManager.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/foundation/Files.h"
#include "tests/support/PresetFiles.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/Units.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

using foundation::PropertyList;
using quorvane::unit::QuorvaneAudioUnit;
namespace fs = std::filesystem;

namespace {

std::optional<PropertyList> readPlist(const fs::path& file) {
  auto bytes = foundation::readWholeFile(file, 1 << 20);
  if (!bytes)
    return std::nullopt;
  return PropertyList::read(*bytes).value;
}

// A synthesiser with two factory presets, a user folder that does not exist yet, and a main
// thread whose posted tasks run when the test says so.
class PresetManagerTest : public testing::Test {
protected:
  PresetManagerTest() {
    writeFile(folder.path / "resources/presets/01-Blues Organ.aupreset",
              presetXML("Blues Organ", 0.5f));
    writeFile(folder.path / "resources/presets/02-Warm Pad.aupreset", presetXML("Warm Pad", 1.2f));
    auto catalogue = std::make_shared<const FactoryPresetCatalogue>(
        foundation::Bundle::withResourcesFolder(folder.path / "resources"), "presets");
    unit = AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription, 0, catalogue)
               .value();
    manager = PresetManager::create(
        userFolder, [this](std::function<void()> task) { posted.push_back(std::move(task)); });
    manager->onChange = [this] { ++changes; };
    manager->requestName = [this](const std::string& suggested, auto answer) {
      suggestions.push_back(suggested);
      answer(nextName);
    };
  }
  void runPosted() {
    for (auto tasks = std::exchange(posted, {}); auto& task : tasks)
      task();
  }
  AUParameter& attack() { return *unit->parameterTree()->parameterWithIdentifier("attack"); }
  std::vector<std::string> titles() const {
    std::vector<std::string> out;
    for (const auto& item : manager->items())
      out.push_back(item.isSeparator ? "---" : item.title);
    return out;
  }
  std::size_t indexOf(std::string_view title, const PresetManager* in = nullptr) const {
    const auto& items = (in ? in : manager.get())->items();
    for (std::size_t i = 0; i < items.size(); ++i)
      if (!items[i].isSeparator && items[i].title == title)
        return i;
    ADD_FAILURE() << "no item " << title;
    return items.size();
  }
  std::string selectedTitle() const {
    const auto index = manager->selectedIndex();
    return index ? manager->items()[*index].title : "(none)";
  }
  // A plug-in's manager, over the same folder and main thread.
  std::shared_ptr<PresetManager> follower(std::string key = "quorvaneParams") {
    return PresetManager::create(
        userFolder, [this](std::function<void()> task) { posted.push_back(std::move(task)); },
        std::move(key), PresetManager::Follow::unitsPreset);
  }
  void saveAs(std::optional<std::string> name) {
    nextName = std::move(name);
    manager->choose(indexOf("Save As\u2026"));
  }
  void writeUser(const std::string& file, std::string_view content) {
    writeFile(userFolder / file, content);
  }

  TemporaryFolder folder{"presets"};
  fs::path userFolder = folder.path / "data/Orrinbrook/Quorvane/Presets";
  std::shared_ptr<QuorvaneAudioUnit> unit;
  std::shared_ptr<PresetManager> manager;
  std::vector<std::function<void()>> posted;
  std::vector<std::string> suggestions;
  std::optional<std::string> nextName;
  int changes = 0;
};

using Titles = std::vector<std::string>;

} // namespace

TEST_F(PresetManagerTest, BeforeTheSynthesiserOnlyAPlaceholderAndAPlainName) {
  EXPECT_EQ(titles(), (Titles{"Presets"}));
  EXPECT_FALSE(manager->isEnabled());
  EXPECT_FALSE(manager->saveEnabled());
  EXPECT_EQ(manager->suggestedName(), "My Preset");
  manager->rebuildMenu(); // still no synthesiser: nothing
  EXPECT_EQ(titles(), (Titles{"Presets"}));
  // Nor has a factory preset the unit does not have a name to suggest.
  manager->synthesiserDidLoad(unit);
  manager->loadFactoryPreset({7, "Gone"});
  EXPECT_EQ(manager->suggestedName(), "My Preset");
}

TEST_F(PresetManagerTest, AFreshInstallationListsTheFactoryPresetsAndTheCommands) {
  attack().setValue(3.0f); // the unit's own state is not touched at start-up
  manager->synthesiserDidLoad(unit);
  EXPECT_EQ(titles(), (Titles{"Blues Organ", "Warm Pad", "---", "Save", "Save As\u2026"}));
  EXPECT_TRUE(manager->isEnabled());
  EXPECT_FALSE(manager->saveEnabled());
  EXPECT_EQ(selectedTitle(), "Blues Organ");
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::factory(0));
  EXPECT_EQ(attack().value(), 3.0f);
  EXPECT_EQ(manager->loadedStateSnapshot().at("attack"), 3.0f);
  EXPECT_EQ(manager->loadedStateSnapshot().size(), unit->parameterTree()->allParameters().size());
  EXPECT_FALSE(fs::exists(userFolder)); // made only by Save As
}

TEST_F(PresetManagerTest, UserPresetsFollowInNaturalOrder) {
  writeUser("10 Lead.aupreset", presetXML("10 Lead", 1));
  writeUser("2 Pad.aupreset", presetXML("2 Pad", 1));
  writeUser("Bass.AUPRESET", presetXML("Bass", 1));
  writeUser("notes.txt", "not a preset");
  writeUser(".hidden.aupreset", presetXML("hidden", 1));
  writeUser("aupreset", "no extension");
  manager->synthesiserDidLoad(unit);
  EXPECT_EQ(titles(), (Titles{"Blues Organ", "Warm Pad", "---", "2 Pad", "10 Lead", "Bass", "---",
                              "Save", "Save As\u2026"}));
  EXPECT_EQ(std::get<fs::path>(manager->items()[5].represented), userFolder / "Bass.AUPRESET");
  // Saving under a listed name goes to that file, whatever the case of its extension.
  EXPECT_EQ(manager->userPresetLocation("Bass"), userFolder / "Bass.AUPRESET");
  EXPECT_EQ(manager->userPresetLocation("Lead"), userFolder / "Lead.aupreset");
}

// Save only for a changed user preset; the changed mark for any preset.
TEST_F(PresetManagerTest, SaveIsEnabledOnlyForAChangedUserPresetAndTheMarkForAny) {
  writeUser("Mine.aupreset", presetXML("Mine", 2.0f));
  manager->synthesiserDidLoad(unit);
  struct Step {
    const char* what;
    std::function<void()> act;
    bool changed, saveEnabled;
  };
  const Step steps[] = {
      {"just loaded", [] {}, false, false},
      {"load a factory preset", [&] { manager->choose(indexOf("Warm Pad")); }, false, false},
      {"turn a knob on it", [&] { attack().setValue(5.0f); }, true, false},
      {"back to exactly its value", [&] { attack().setValue(1.2f); }, false, false},
      {"turned again", [&] { attack().setValue(5.0f); }, true, false},
      {"load the user preset", [&] { manager->choose(indexOf("Mine")); }, false, false},
      {"turn a knob", [&] { attack().setValue(2.5f); }, true, true},
      {"back to exactly the loaded value", [&] { attack().setValue(2.0f); }, false, false},
      {"a change smaller than any display shows", [&] { attack().setValue(2.0000002f); }, true,
       true},
      {"saved", [&] { manager->choose(indexOf("Save")); }, false, false},
  };
  for (const Step& step : steps) {
    step.act();
    runPosted(); // the observer's hop to the main thread
    EXPECT_EQ(manager->isChanged(), step.changed) << step.what;
    EXPECT_EQ(manager->saveEnabled(), step.saveEnabled) << step.what;
  }
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::user(userFolder / "Mine.aupreset"));
}

TEST_F(PresetManagerTest, SaveWritesTheLoadedFileAndTheCommandNeverStaysSelected) {
  writeUser("Mine.aupreset", presetXML("Mine", 2.0f));
  manager->synthesiserDidLoad(unit);
  manager->choose(indexOf("Mine"));
  EXPECT_EQ(attack().value(), 2.0f);
  attack().setValue(7.0f);
  runPosted();
  manager->choose(indexOf("Save"));
  EXPECT_EQ(selectedTitle(), "Mine");
  EXPECT_FALSE(manager->saveEnabled());
  const auto saved = readPlist(userFolder / "Mine.aupreset");
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved->find("name"), PropertyList("Mine"));
  EXPECT_EQ(saved->find("quorvaneParams")->find("attack")->real(), 7.0);
  EXPECT_EQ(saved->dictionary()->size(), 2u);
  EXPECT_EQ(saved->find("quorvaneParams")->dictionary()->size(),
            unit->parameterTree()->allParameters().size());

  // Save on a factory preset, or with nothing changed, writes nothing.
  fs::remove(userFolder / "Mine.aupreset");
  manager->choose(indexOf("Save"));
  manager->choose(indexOf("Blues Organ"));
  attack().setValue(9.0f);
  manager->choose(indexOf("Save"));
  EXPECT_EQ(selectedTitle(), "Blues Organ");
  EXPECT_FALSE(fs::exists(userFolder / "Mine.aupreset"));
}

TEST_F(PresetManagerTest, SaveAsTrimsTheNameAndSelectsTheNewPreset) {
  manager->synthesiserDidLoad(unit);
  manager->choose(indexOf("Warm Pad"));
  attack().setValue(4.0f);
  saveAs("  \t Warm Pad \r\n");
  EXPECT_EQ(suggestions, (std::vector<std::string>{"My Warm Pad"}));
  const fs::path file = userFolder / "Warm Pad.aupreset";
  const auto saved = readPlist(file);
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved->find("name"), PropertyList("Warm Pad"));
  EXPECT_EQ(saved->find("quorvaneParams")->find("attack")->real(), 4.0);
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::user(file));
  EXPECT_EQ(selectedTitle(), "Warm Pad");
  EXPECT_EQ(manager->selectedIndex(), 3u); // the user section's, not the factory item
  EXPECT_FALSE(manager->saveEnabled());

  // The next Save As suggests the user preset's own name; the same name overwrites it.
  attack().setValue(6.0f);
  saveAs("Warm Pad");
  EXPECT_EQ(suggestions.back(), "Warm Pad");
  EXPECT_EQ(titles(),
            (Titles{"Blues Organ", "Warm Pad", "---", "Warm Pad", "---", "Save", "Save As\u2026"}));
  EXPECT_EQ(readPlist(file)->find("quorvaneParams")->find("attack")->real(), 6.0);
}

TEST_F(PresetManagerTest, SaveAsRefusesNamesThatAreEmptyOrLeaveTheFolder) {
  manager->synthesiserDidLoad(unit);
  const std::optional<std::string> refused[] = {std::nullopt, "",      "   \n",
                                                "../../x",    "sub/x", "/tmp/x"};
  for (const auto& name : refused) {
    saveAs(name);
    EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::factory(0)) << name.value_or("cancel");
    EXPECT_EQ(selectedTitle(), "Blues Organ");
  }
  EXPECT_FALSE(fs::exists(userFolder));
  EXPECT_FALSE(fs::exists(folder.path / "data/Orrinbrook/x.aupreset"));
}

TEST_F(PresetManagerTest, FilesThatAreNotPresetDictionaries) {
  writeUser("Array.aupreset", PropertyList(PropertyList::Array{PropertyList(1)}).toXML());
  writeUser("Broken.aupreset", "<plist><dict><key>name");
  writeUser("Bare.aupreset", PropertyList(PropertyList::Dictionary{}).toXML());
  manager->synthesiserDidLoad(unit);
  manager->choose(indexOf("Warm Pad"));
  for (const char* title : {"Array", "Broken"}) {
    manager->choose(indexOf(title));
    EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::factory(1)) << title;
    EXPECT_EQ(attack().value(), 1.2f) << title;
    EXPECT_EQ(selectedTitle(), title); // the pop-up shows the choice all the same
  }
  fs::remove(userFolder / "Array.aupreset");
  manager->choose(indexOf("Array")); // gone since the menu was built
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::factory(1));

  // A dictionary without parameters still loads: every parameter returns to its default.
  manager->choose(indexOf("Bare"));
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::user(userFolder / "Bare.aupreset"));
  EXPECT_NE(attack().value(), 1.2f);
  EXPECT_FALSE(unit->currentPreset());
}

TEST_F(PresetManagerTest, TheObserverHoldsTheManagerWeaklyAndIsRemovedWithIt) {
  manager->synthesiserDidLoad(unit);
  attack().setValue(1.0f);
  EXPECT_EQ(posted.size(), 1u);
  manager.reset();
  runPosted(); // the manager is gone: nothing happens
  attack().setValue(2.0f);
  EXPECT_TRUE(posted.empty());
}

TEST_F(PresetManagerTest, StepWalksThePresetsAndWrapsBothWays) {
  writeUser("Mine.aupreset", presetXML("Mine", 2.0f));
  manager->synthesiserDidLoad(unit);
  Titles walked;
  for (int direction : {+1, +1, +1, +1, -1, -1, -1}) {
    manager->step(direction);
    walked.push_back(selectedTitle());
  }
  EXPECT_EQ(walked, (Titles{"Warm Pad", "Mine", "Blues Organ", "Warm Pad", "Blues Organ", "Mine",
                            "Warm Pad"}));
  manager->step(-1);
  manager->step(-1); // onto the user preset, past the separator
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::user(userFolder / "Mine.aupreset"));
  EXPECT_EQ(attack().value(), 2.0f);

  // With no preset current, the first or the last.
  for (auto [direction, expected] : {std::pair{+1, "Blues Organ"}, std::pair{-1, "Mine"}}) {
    unit->setCurrentPreset(std::nullopt);
    manager = follower();
    manager->synthesiserDidLoad(unit);
    ASSERT_EQ(manager->currentPresetID(), CurrentPresetID{});
    manager->step(direction);
    EXPECT_EQ(selectedTitle(), expected);
  }
}

TEST_F(PresetManagerTest, TheAppAndAPlugInShareTheirUserPresets) {
  manager->synthesiserDidLoad(unit);
  attack().setValue(3.5f);
  saveAs("From App");
  auto pluginUnit = makeSynth(folder.path / "resources");
  auto& pluginAttack = *pluginUnit->parameterTree()->parameterWithIdentifier("attack");
  auto plugin = follower();
  plugin->synthesiserDidLoad(pluginUnit);
  plugin->choose(indexOf("From App", plugin.get()));
  EXPECT_EQ(pluginAttack.value(), 3.5f);

  pluginAttack.setValue(0.25f);
  plugin->requestName = [](const std::string&, auto answer) { answer("From Plug-in"); };
  plugin->saveAsCommand();
  EXPECT_EQ(pluginUnit->currentPreset()->name, "From Plug-in");
  manager->rebuildMenu();
  manager->choose(indexOf("From Plug-in"));
  EXPECT_EQ(attack().value(), 0.25f);
}

TEST_F(PresetManagerTest, APlugInFollowsTheUnitsPresetAndNamesItsUserPresets) {
  writeUser("Mine.aupreset", presetXML("Mine", 2.0f));
  unit->setCurrentPreset(unit->factoryPresets().at(1));
  manager = follower();
  manager->synthesiserDidLoad(unit);
  EXPECT_EQ(manager->selectedIndex(), 1u);

  // A host's program change is followed on the main thread.
  unit->setCurrentPreset(unit->factoryPresets().at(0));
  runPosted();
  EXPECT_EQ(selectedTitle(), "Blues Organ");
  EXPECT_EQ(manager->loadedStateSnapshot().at("attack"), 0.5f);
  EXPECT_FALSE(manager->isChanged());

  // A user preset becomes the unit's by a negative number and the file's name, so a host's
  // saved state names it.
  manager->choose(indexOf("Mine"));
  runPosted();
  EXPECT_EQ(attack().value(), 2.0f);
  ASSERT_TRUE(unit->currentPreset());
  EXPECT_LT(unit->currentPreset()->number, 0);
  EXPECT_EQ(unit->currentPreset()->name, "Mine");
  EXPECT_EQ(*unit->fullState()->find("name"), PropertyList("Mine"));

  manager->choose(indexOf("Warm Pad"));
  unit->setCurrentPreset(AUAudioUnitPreset{-1, "Mine"}); // a host restoring that state
  runPosted();
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::user(userFolder / "Mine.aupreset"));
  EXPECT_EQ(selectedTitle(), "Mine");

  // A preset the menu does not list is shown by its name, a factory number it lacks too.
  for (auto [number, name, title] :
       {std::tuple{-1, "Gone", "Gone"}, {-1, "", "Untitled"}, {7, "Seventh", "Seventh"}}) {
    unit->setCurrentPreset(AUAudioUnitPreset{number, name});
    runPosted();
    EXPECT_EQ(manager->currentPresetID(), CurrentPresetID{}) << name;
    EXPECT_EQ(manager->currentTitle(), title);
  }
}

TEST_F(PresetManagerTest, TheGeneratorsPresetsKeepItsParametersUnderItsOwnKey) {
  using pallix::unit::PallixAudioUnit;
  auto generator = makeGenerator();
  auto& emotion = *generator->parameterTree()->parameterWithIdentifier("emotion");
  manager = follower(std::string(PallixAudioUnit::kStateKey));
  manager->requestName = [](const std::string&, auto answer) { answer("Shuffle"); };
  manager->synthesiserDidLoad(generator);
  emotion.setValue(0.75f);
  manager->saveAsCommand();
  const auto saved = readPlist(userFolder / "Shuffle.aupreset");
  ASSERT_TRUE(saved);
  EXPECT_FALSE(saved->find("quorvaneParams"));
  ASSERT_TRUE(saved->find("pallixParams"));
  EXPECT_EQ(saved->find("pallixParams")->find("emotion")->real(), 0.75);

  emotion.setValue(0.25f);
  manager->choose(indexOf("Shuffle"));
  EXPECT_EQ(emotion.value(), 0.75f);
}

// An LV2 host loads its presets by setting values one by one: the preset they make up is
// named, a changed sound keeps the name it had.
TEST_F(PresetManagerTest, APlugInRecognisesThePresetWhoseValuesItHolds) {
  writeUser("Mine.aupreset", presetXML("Mine", 2.0f));
  manager = follower();
  manager->makeScratchUnit = [this] { return makeSynth(folder.path / "resources"); };
  unit->setCurrentPreset(std::nullopt);
  manager->synthesiserDidLoad(unit);
  EXPECT_EQ(manager->currentTitle(), "Untitled");
  const auto holdValuesOf = [&](const std::function<void(AUAudioUnit&)>& load) {
    auto source = makeSynth(folder.path / "resources");
    load(*source);
    for (const auto& parameter : source->parameterTree()->allParameters())
      unit->parameterTree()
          ->parameterWithIdentifier(parameter->identifier())
          ->setValue(parameter->value());
    runPosted();
    manager->recognisePreset();
  };
  holdValuesOf([](AUAudioUnit& u) { u.setCurrentPreset(u.factoryPresets()[1]); });
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::factory(1));
  EXPECT_FALSE(manager->isChanged());
  holdValuesOf([&](AUAudioUnit& u) {
    const auto bytes = foundation::readWholeFile(userFolder / "Mine.aupreset", 1 << 20);
    u.setFullState(PropertyList::read(*bytes).value);
  });
  EXPECT_EQ(selectedTitle(), "Mine");
  attack().setValue(3.0f);
  runPosted();
  manager->recognisePreset();
  EXPECT_EQ(selectedTitle(), "Mine");
  EXPECT_TRUE(manager->isChanged());
}

// A tuned sound saved as a user preset plays tuned wherever the preset is loaded.
TEST_F(PresetManagerTest, AUserPresetKeepsTheTuning) {
  manager->synthesiserDidLoad(unit);
  ASSERT_FALSE(unit->setTuning("! five\nfive\n1\n240.0\n", std::nullopt));
  saveAs("Five");
  const auto saved = readPlist(userFolder / "Five.aupreset");
  ASSERT_TRUE(saved && saved->find(QuorvaneAudioUnit::kTuningScaleKey));
  EXPECT_FALSE(saved->find("manufacturer"));
  auto other = makeSynth(folder.path / "resources");
  auto plugin = follower();
  plugin->synthesiserDidLoad(other);
  plugin->choose(indexOf("Five", plugin.get()));
  ASSERT_TRUE(other->tuning());
  EXPECT_EQ(other->tuning()->description, "five");
}
