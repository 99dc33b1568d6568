// The preset bar over a real synthesiser's manager: its menu, the changed mark, Save, and the
// Save As prompt with its refusals and the question before replacing a file.
#include "platform/toolkit/PresetBar.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/foundation/Files.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/PresetFiles.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using foundation::PropertyList;
using quorvane::unit::QuorvaneAudioUnit;
using Mode = toolkit::PresetBar::Mode;
namespace fs = std::filesystem;

namespace {

// Two factory presets and one user preset, "Mine" (the manager's item 3); the manager follows the
// unit as a plug-in's does, its main thread run when the test says so.
class PresetBarTest : public testing::Test {
protected:
  PresetBarTest() {
    writeFile(folder.path / "resources/presets/01-Blues Organ.aupreset",
              presetXML("Blues Organ", 0.5f));
    writeFile(folder.path / "resources/presets/02-Warm Pad.aupreset", presetXML("Warm Pad", 1.2f));
    writeFile(userFolder / "Mine.aupreset", presetXML("Mine", 2.0f));
    auto catalogue = std::make_shared<const FactoryPresetCatalogue>(
        foundation::Bundle::withResourcesFolder(folder.path / "resources"), "presets");
    unit = AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription, 0, catalogue)
               .value();
    manager = PresetManager::create(
        userFolder, [this](std::function<void()> task) { posted.push_back(std::move(task)); },
        "quorvaneParams", PresetManager::Follow::unitsPreset);
    bar = std::make_unique<toolkit::PresetBar>(manager, juce::Colours::black);
    manager->synthesiserDidLoad(unit);
  }
  void turnAttack(float value) {
    unit->parameterTree()->parameterWithIdentifier("attack")->setValue(value);
    for (auto tasks = std::exchange(posted, {}); auto& task : tasks)
      task();
  }
  double savedAttack(const std::string& name) {
    const auto bytes = foundation::readWholeFile(userFolder / (name + ".aupreset"), 1 << 20);
    const auto plist = bytes ? PropertyList::read(*bytes).value : std::nullopt;
    const auto* attack = plist ? plist->find("quorvaneParams") : nullptr;
    return attack && attack->find("attack") ? attack->find("attack")->real().value_or(-1) : -1;
  }
  void typeName(const char* name) {
    bar->nameField().setText(name, false);
    bar->accept();
  }

  TemporaryFolder folder{"preset-bar"};
  fs::path userFolder = folder.path / "Presets";
  std::shared_ptr<QuorvaneAudioUnit> unit;
  std::vector<std::function<void()>> posted;
  std::shared_ptr<PresetManager> manager;
  std::unique_ptr<toolkit::PresetBar> bar;
};

std::vector<std::string> lines(const std::vector<toolkit::PresetMenu::Line>& menu) {
  std::vector<std::string> out;
  for (const auto& line : menu) {
    if (line.startsSection)
      out.push_back("---");
    out.push_back(std::to_string(line.item) + " " + line.title.toStdString() +
                  (line.ticked ? " (ticked)" : ""));
  }
  return out;
}

} // namespace

TEST_F(PresetBarTest, TheMenuListsFactoryThenUserPresetsAndChoosesThem) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(lines(bar->menuLines()),
            (Lines{"0 Blues Organ (ticked)", "1 Warm Pad", "---", "3 Mine"}));
  // Opened over the editor below the bar, on the current preset; a choice closes it.
  juce::Component editor;
  editor.setSize(480, 352);
  editor.addAndMakeVisible(*bar);
  bar->setBounds(0, 0, 480, toolkit::PresetBar::kHeight);
  bar->showMenu();
  auto& menu = bar->menu();
  ASSERT_TRUE(menu.isOpen());
  EXPECT_EQ(menu.getParentComponent(), &editor);
  EXPECT_EQ(menu.highlightedRow(), 0);
  menu.choose(2);
  EXPECT_FALSE(menu.isOpen());
  EXPECT_EQ(manager->currentPresetID(), CurrentPresetID::user(userFolder / "Mine.aupreset"));
  EXPECT_EQ(lines(bar->menuLines()),
            (Lines{"0 Blues Organ", "1 Warm Pad", "---", "3 Mine (ticked)"}));
  bar->showMenu();
  EXPECT_TRUE(menu.keyPressed(juce::KeyPress(juce::KeyPress::escapeKey)));
  EXPECT_FALSE(menu.isOpen()); // dismissed: nothing changes
  EXPECT_EQ(bar->shownName(), "Mine");
  // A preset saved elsewhere (the app, another editor) is there when the bar steps.
  writeFile(userFolder / "Next.aupreset", presetXML("Next", 1.0f));
  bar->nextButton().onClick();
  EXPECT_EQ(bar->shownName(), "Next");
  editor.removeChildComponent(bar.get());
}

TEST_F(PresetBarTest, TheChangedMarkAndSaveFollowTheSound) {
  EXPECT_EQ(bar->shownName(), "Blues Organ");
  turnAttack(4.0f);
  EXPECT_EQ(bar->shownName(), "Blues Organ *");
  EXPECT_EQ(bar->nameButton().getButtonText(), bar->shownName());
  EXPECT_FALSE(bar->saveButton().isEnabled()); // a factory preset is never saved over

  bar->menuChosen(3);
  EXPECT_EQ(bar->shownName(), "Mine");
  EXPECT_FALSE(bar->saveButton().isEnabled());
  turnAttack(3.0f);
  EXPECT_EQ(bar->shownName(), "Mine *");
  EXPECT_TRUE(bar->saveButton().isEnabled());
  bar->saveButton().onClick();
  EXPECT_EQ(savedAttack("Mine"), 3.0);
  EXPECT_EQ(bar->shownName(), "Mine");
  EXPECT_FALSE(bar->saveButton().isEnabled());
}

TEST_F(PresetBarTest, SaveAsAsksInTheBarAndBeforeReplacingAFile) {
  turnAttack(4.0f);
  bar->saveAsButton().onClick();
  EXPECT_EQ(bar->mode(), Mode::askingName);
  EXPECT_EQ(bar->nameField().getText(), "My Blues Organ");
  const auto asking = bar->promptText();
  for (const char* refused : {"Warm/Pad", " \n"}) {
    typeName(refused);
    EXPECT_EQ(bar->mode(), Mode::askingName) << refused;
    EXPECT_NE(bar->promptText(), asking) << refused;
  }

  // An existing name asks first; going back to the name leaves the file alone.
  typeName("Mine");
  EXPECT_EQ(bar->mode(), Mode::askingReplace);
  bar->cancel();
  EXPECT_EQ(bar->mode(), Mode::askingName);
  EXPECT_EQ(bar->nameField().getText(), "Mine");
  EXPECT_EQ(savedAttack("Mine"), 2.0);
  typeName("Mine");
  bar->accept();
  EXPECT_EQ(bar->mode(), Mode::presets);
  EXPECT_EQ(savedAttack("Mine"), 4.0);

  bar->saveAsButton().onClick();
  typeName("Fresh");
  EXPECT_EQ(bar->mode(), Mode::presets);
  EXPECT_EQ(savedAttack("Fresh"), 4.0);
  EXPECT_EQ(bar->shownName(), "Fresh");
  EXPECT_EQ(unit->currentPreset()->name, "Fresh");

  bar->saveAsButton().onClick();
  bar->nameField().setText("Never", false);
  bar->cancel();
  EXPECT_EQ(bar->mode(), Mode::presets);
  EXPECT_EQ(std::distance(fs::directory_iterator(userFolder), fs::directory_iterator()), 2);
}
