// The preset pop-up shows the manager's menu and hands choices back to it.
#include "app/window/PresetPopup.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

using app::PresetPopup;
using foundation::PropertyList;
using quorvane::unit::QuorvaneAudioUnit;

namespace {

std::string preset(std::string_view name) {
  return PropertyList(PropertyList::Dictionary{{"name", PropertyList(name)}}).toXML();
}

struct Rig {
  Rig() {
    writeFile(folder.path / "resources/presets/01-Organ.aupreset", preset("Organ"));
    writeFile(folder.path / "resources/presets/02-Pad.aupreset", preset("Pad"));
    writeFile(folder.path / "user/Mine.aupreset", preset("Mine"));
    unit = AUAudioUnit::create<QuorvaneAudioUnit>(
               QuorvaneAudioUnit::kDescription, 0,
               std::make_shared<const FactoryPresetCatalogue>(
                   foundation::Bundle::withResourcesFolder(folder.path / "resources"), "presets"))
               .value();
    manager = PresetManager::create(folder.path / "user", [](std::function<void()> task) {
      juce::MessageManager::callAsync(std::move(task));
    });
    manager->requestName = [this](const std::string&, auto answer) { answer(nextName); };
    popup = std::make_unique<PresetPopup>(manager);
  }
  // The id of the item with that text (ids are 1-based indices into the manager's items).
  int idOf(const juce::String& text) const {
    for (int i = 0; i < popup->getNumItems(); ++i)
      if (popup->getItemText(i) == text)
        return popup->getItemId(i);
    ADD_FAILURE() << "no item " << text;
    return 0;
  }
  void pick(const juce::String& text) {
    popup->setSelectedId(idOf(text), juce::sendNotificationSync);
  }

  TemporaryFolder folder{"popup"};
  std::shared_ptr<QuorvaneAudioUnit> unit;
  std::shared_ptr<PresetManager> manager;
  std::optional<std::string> nextName;
  std::unique_ptr<PresetPopup> popup; // made last: it takes the manager over
};

} // namespace

// What the manager's choices do (files written, names suggested and trimmed) is the manager's
// test; here, that the pop-up shows its items and enabling, and hands choices back.
TEST(PresetPopup, ShowsTheManagersMenuAndCommandsFallBackToTheCurrentPreset) {
  Rig rig;
  EXPECT_EQ(rig.popup->getNumItems(), 1);
  EXPECT_EQ(rig.popup->getText(), "Presets");
  EXPECT_FALSE(rig.popup->isEnabled());

  rig.manager->synthesiserDidLoad(rig.unit);
  EXPECT_TRUE(rig.popup->isEnabled());
  juce::StringArray texts;
  for (int i = 0; i < rig.popup->getNumItems(); ++i)
    texts.add(rig.popup->getItemText(i));
  EXPECT_EQ(texts.joinIntoString("|"), juce::String::fromUTF8("Organ|Pad|Mine|Save|Save As\u2026"));
  EXPECT_EQ(rig.popup->getText(), "Organ");
  EXPECT_FALSE(rig.popup->isItemEnabled(rig.idOf("Save")));
  EXPECT_TRUE(rig.popup->isItemEnabled(rig.idOf(juce::String::fromUTF8("Save As\u2026"))));

  rig.pick("Mine");
  EXPECT_EQ(rig.manager->currentPresetID().kind, CurrentPresetID::Kind::user);
  rig.unit->parameterTree()->allParameters().front()->setValue(0.123f);
  runPostedMessages(); // the observer's hop
  EXPECT_TRUE(rig.popup->isItemEnabled(rig.idOf("Save")));
  rig.pick("Save");
  EXPECT_EQ(rig.popup->getText(), "Mine");
  EXPECT_FALSE(rig.popup->isItemEnabled(rig.idOf("Save")));

  rig.nextName = "Second";
  rig.pick(juce::String::fromUTF8("Save As\u2026"));
  EXPECT_EQ(rig.popup->getText(), "Second"); // the menu rebuilt with the new preset chosen
  rig.nextName.reset();                      // cancelled
  rig.pick(juce::String::fromUTF8("Save As\u2026"));
  EXPECT_EQ(rig.popup->getText(), "Second");
}
