// The editor's tuning menu over a real unit: its lines, loading the shipped files, refusals
// shown with their reason and the tuning kept, and the bend range chosen as one gesture.
#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"
#include "QuorvaneAU/unit/TuningFiles.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace quorvane::editor;
using quorvane::unit::QuorvaneAudioUnit;

namespace {

class TuningMenuTest : public testing::Test {
protected:
  void SetUp() override {
    editor.setAudioUnit(unit);
    runPostedMessages();
    menu().requestFile = [this](TuningMenu::FileKind kind, TuningMenu::FileAnswer answer) {
      asked.push_back(kind);
      answer(nextFile);
    };
    menu().onTuningChanged = [this] { ++changes; };
  }
  TuningMenu& menu() { return editor.tuning(); }
  std::vector<std::string> titles() {
    std::vector<std::string> shown;
    for (const auto& line : menu().menuLines())
      shown.push_back(line.title.toStdString() + (line.ticked ? " (ticked)" : "") +
                      (line.enabled ? "" : " (shown only)"));
    return shown;
  }
  void choose(TuningMenu::Item item, std::optional<std::filesystem::path> file = std::nullopt) {
    nextFile = std::move(file);
    menu().menuChosen(item);
  }
  std::filesystem::path shipped(const char* name) {
    return quorvane::unit::shippedTuningsFolder() / name;
  }

  std::shared_ptr<QuorvaneAudioUnit> unit =
      AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription).value();
  QuorvaneAUViewControllerMac editor;
  std::vector<TuningMenu::FileKind> asked;
  std::optional<std::filesystem::path> nextFile;
  int changes = 0;
  TemporaryFolder folder{"tuning-menu"};
};

TEST_F(TuningMenuTest, LoadsScalesAndMapsAndShowsWhyAFileIsRefused) {
  const auto range = juce::String::fromUTF8("Bend Range: \xc2\xb1"
                                            "2 semitones \xe2\x96\xb8");
  EXPECT_EQ(titles(),
            (std::vector<std::string>{"Standard (12-TET) (ticked)", "Load Scale\xe2\x80\xa6",
                                      "Load Keyboard Map\xe2\x80\xa6", range.toStdString()}));
  choose(TuningMenu::loadScale); // the chooser cancelled
  EXPECT_FALSE(unit->tuning());
  choose(TuningMenu::loadScale, shipped("19-tone equal.scl"));
  ASSERT_TRUE(unit->tuning());
  EXPECT_EQ(unit->tuning()->description, "19 equal steps of the octave");
  EXPECT_EQ(titles()[0], "Standard (12-TET)");
  EXPECT_EQ(titles()[1], "19 equal steps of the octave (ticked) (shown only)");
  choose(TuningMenu::loadKeyboardMap, shipped("A 432.kbm"));
  ASSERT_TRUE(unit->tuning() && unit->tuning()->keyboardMap);
  EXPECT_EQ(unit->tuning()->description, "19 equal steps of the octave") << "the scale is kept";
  EXPECT_EQ(titles()[1], "19 equal steps of the octave, mapped (ticked) (shown only)");
  EXPECT_EQ(asked, (std::vector{TuningMenu::FileKind::scale, TuningMenu::FileKind::scale,
                                TuningMenu::FileKind::keyboardMap}));
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(menu().problem().isEmpty());

  // Refused: the reason names the file and its line, and the tuning stays as it was.
  const auto tuningBefore = unit->tuning()->scale;
  const auto bad = folder.path / "bad.scl";
  std::ofstream(bad) << "! bad.scl\nbad\n 2\n 3/2\n -2/1\n";
  const int height = menu().getHeight();
  choose(TuningMenu::loadScale, bad);
  EXPECT_EQ(menu().problem(), "bad.scl:5: a ratio must be positive");
  EXPECT_EQ(unit->tuning()->scale, tuningBefore);
  EXPECT_GT(menu().getHeight(), height) << "room for the reason under the button";
  choose(TuningMenu::loadKeyboardMap, folder.path / "missing.kbm");
  EXPECT_TRUE(menu().problem().startsWith("missing.kbm: cannot read it: "));
  EXPECT_EQ(changes, 2);
  menu().showMenu();
  EXPECT_TRUE(menu().problem().isEmpty()) << "opening the menu again clears it";
  EXPECT_EQ(menu().getHeight(), height);
  menu().menu().dismiss();

  choose(TuningMenu::description);
  EXPECT_TRUE(unit->tuning());
  choose(TuningMenu::standard);
  EXPECT_FALSE(unit->tuning());
  // A map alone maps equal temperament.
  choose(TuningMenu::loadKeyboardMap, shipped("A 432.kbm"));
  ASSERT_TRUE(unit->tuning());
  EXPECT_EQ(unit->tuning()->scale, quorvane::unit::kEqualTemperamentScale);
  EXPECT_EQ(titles()[1], "12-tone equal temperament, mapped (ticked) (shown only)");
}

// Only the lines that do something close the menu; the bend range opens the list of ranges.
TEST_F(TuningMenuTest, TheMenuChoosesOnlyWhatCanBeChosen) {
  choose(TuningMenu::loadScale, shipped("Just major.scl"));
  menu().showMenu();
  toolkit::PresetMenu& list = menu().menu();
  ASSERT_TRUE(list.isOpen());
  list.choose(1); // the description
  EXPECT_TRUE(list.isOpen());
  list.choose(4); // the bend range
  ASSERT_TRUE(list.isOpen());
  ASSERT_EQ(list.lines().size(), std::size_t(TuningMenu::kLargestBendRange));
  EXPECT_TRUE(list.lines()[1].ticked);
  list.dismiss();
  EXPECT_TRUE(unit->tuning()) << "nothing chosen, nothing changed";
}

// A range from the list reaches the parameter as one gesture of the editor's own, and the menu
// shows what the unit holds, whoever set it.
TEST_F(TuningMenuTest, TheBendRangeIsChosenFromTheMenuAsOneGesture) {
  AUParameter& range = *unit->parameterTree()->parameterWithAddress(kBendRangeAddress);
  std::vector<std::pair<AUValue, AUParameterAutomationEventType>> heard;
  const auto token = unit->parameterTree()->tokenByAddingParameterAutomationObserver(
      [&](AUParameterAddress address, AUValue value, AUParameterAutomationEventType type) {
        if (address == kBendRangeAddress)
          heard.emplace_back(value, type);
      });
  menu().menuChosen(TuningMenu::Item(TuningMenu::firstRange + 11));
  unit->parameterTree()->removeParameterObserver(token);
  EXPECT_EQ(range.value(), 12.0f);
  ASSERT_EQ(heard.size(), 3u);
  EXPECT_EQ(heard.front().second, AUParameterAutomationEventType::touch);
  EXPECT_EQ(heard.back().second, AUParameterAutomationEventType::release);
  EXPECT_EQ(menu().rangeLines()[11].ticked, true);
  EXPECT_EQ(menu().menuLines().back().title, juce::String::fromUTF8("Bend Range: \xc2\xb1"
                                                                    "12 semitones \xe2\x96\xb8"));
  range.setValue(1.0f);
  const auto lines = menu().rangeLines();
  EXPECT_TRUE(lines[0].ticked);
  EXPECT_EQ(lines[0].title, juce::String::fromUTF8("\xc2\xb1"
                                                   "1 semitone"));
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.ticked; }), 1);
}

} // namespace
