// The synthesiser editor over a real unit: building, layout, and keeping controls and
// parameters in step both ways.
#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"
#include "platform/foundation/ParameterText.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace quorvane::editor;
using quorvane::unit::QuorvaneAudioUnit;

namespace {

// With the factory presets of the bundle, preset 01 loaded; or with none, at the defaults.
std::shared_ptr<QuorvaneAudioUnit> makeSynth(bool withPresets = true) {
  auto presets = withPresets ? nullptr
                             : std::make_shared<const FactoryPresetCatalogue>(
                                   foundation::Bundle::withResourcesFolder({}), "presets");
  return AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription, 0, presets)
      .value();
}

// Counts what the editor writes, as another view of the same unit would see it.
struct Spy {
  explicit Spy(AUParameterTree& tree) : tree(tree) {
    token = tree.tokenByAddingParameterAutomationObserver(
        [this](AUParameterAddress address, AUValue value, AUParameterAutomationEventType type) {
          events.push_back({address, value, type});
        });
  }
  ~Spy() { tree.removeParameterObserver(token); }
  struct Event {
    AUParameterAddress address;
    AUValue value;
    AUParameterAutomationEventType type;
  };
  AUParameterTree& tree;
  AUParameterObserverToken token;
  std::vector<Event> events;
};

class EditorSyncTest : public testing::Test {
protected:
  void SetUp() override {
    editor.setAudioUnit(unit);
    runPostedMessages();
  }
  AUParameter& parameter(AUParameterAddress address) {
    return *unit->parameterTree()->parameterWithAddress(address);
  }
  bool radioShowsOn(RadioLine line) {
    const auto& image = editor.radioButton(line).image();
    return isOpaqueWhite(image.getPixelAt(image.getWidth() / 2, image.getHeight() / 2));
  }
  std::shared_ptr<QuorvaneAudioUnit> unit = makeSynth();
  QuorvaneAUViewControllerMac editor;
};

} // namespace

TEST_F(EditorSyncTest, OpensAt720By480InTheThirdArrangementWithTheUnitsValues) {
  EXPECT_EQ(editor.getBounds(), juce::Rectangle<int>(0, 0, 720, 480));
  EXPECT_EQ(editor.arrangement(), 2);
  EXPECT_EQ(editor.knob(QuorvaneKnob::frequency).getBounds(),
            juce::Rectangle<int>(363, 18, 108, 108));
  EXPECT_EQ(editor.backgroundColour(), juce::Colour(57, 142, 60));
  for (const KnobEntry& entry : kKnobTable) {
    SCOPED_TRACE(entry.underlay);
    EXPECT_NEAR(editor.knob(entry.knob).value(),
                foundation::positionOfValue(rowOf(entry), parameter(entry.address).value()), 1e-6f);
    EXPECT_EQ(editor.knob(entry.knob).resetValue, foundation::defaultPosition(rowOf(entry)));
  }
  // A unit at its defaults puts every knob at its reset position.
  QuorvaneAUViewControllerMac fresh;
  fresh.setAudioUnit(makeSynth(false));
  for (const KnobEntry& entry : kKnobTable)
    EXPECT_NEAR(fresh.knob(entry.knob).value(), foundation::defaultPosition(rowOf(entry)), 1e-6f)
        << entry.underlay;
  EXPECT_EQ(editor.waveform().shape, parameter(0).value());
  EXPECT_TRUE(radioShowsOn(static_cast<RadioLine>(parameter(15).value())));
}

TEST_F(EditorSyncTest, AKnobTurnWritesItsParameterOnceAndIsNotEchoed) {
  Spy spy(*unit->parameterTree());
  auto& attack = editor.knob(QuorvaneKnob::attack);
  attack.dragBegan();
  attack.dragChanged(attack.getWidth() * 0.25f, 0); // by about 40.5 degrees
  attack.dragEnded();
  runPostedMessages();
  const float position = attack.value();
  ASSERT_EQ(spy.events.size(), 3u); // touch, the value, release: one gesture
  EXPECT_EQ(spy.events[0].type, AUParameterAutomationEventType::touch);
  EXPECT_EQ(spy.events[1].type, AUParameterAutomationEventType::value);
  EXPECT_EQ(spy.events[1].address, 3u);
  EXPECT_FLOAT_EQ(spy.events[1].value,
                  foundation::valueAtPosition(rowOf(specOf(QuorvaneKnob::attack)), position));
  EXPECT_EQ(spy.events[2].type, AUParameterAutomationEventType::release);
  EXPECT_FLOAT_EQ(parameter(3).value(),
                  foundation::valueAtPosition(rowOf(specOf(QuorvaneKnob::attack)), position));

  // Its own token keeps a write away from it; anyone else's reaches it.
  const float sustain = editor.knob(QuorvaneKnob::sustain).value();
  parameter(5).setValue(0.123f, editor.observerToken());
  runPostedMessages();
  EXPECT_FLOAT_EQ(editor.knob(QuorvaneKnob::sustain).value(), sustain);
  parameter(5).setValue(0.123f);
  runPostedMessages();
  EXPECT_FLOAT_EQ(editor.knob(QuorvaneKnob::sustain).value(), 0.123f);
  attack.doubleClicked(); // back to the parameter's default
  EXPECT_NEAR(parameter(3).value(), 0.005f, 1e-6f);
}

// Every knob reads as its parameter does; a typed value reaches the parameter exactly (not
// through the taper and back) within one gesture, and one that cannot be read changes nothing.
TEST_F(EditorSyncTest, KnobsShowTheirValuesAndTakeTypedOnes) {
  for (const KnobEntry& entry : kKnobTable) {
    auto& knob = editor.knob(entry.knob);
    EXPECT_EQ(knob.valueText(knob.value()).toStdString(),
              foundation::displayText(rowOf(entry), parameter(entry.address).value()))
        << entry.underlay;
  }
  Spy spy(*unit->parameterTree());
  auto& attack = editor.knob(QuorvaneKnob::attack);
  EXPECT_FALSE(attack.onTextEntered("soon"));
  EXPECT_TRUE(spy.events.empty());
  ASSERT_TRUE(attack.onTextEntered("250 ms"));
  EXPECT_EQ(parameter(3).value(), 0.25f);
  EXPECT_EQ(attack.valueText(attack.value()), "250 ms");
  ASSERT_GE(spy.events.size(), 3u);
  EXPECT_EQ(spy.events.front().type, AUParameterAutomationEventType::touch);
  EXPECT_EQ(spy.events.back().type, AUParameterAutomationEventType::release);
  EXPECT_EQ(spy.events[spy.events.size() - 2].value, 0.25f);
  for (const auto& event : spy.events)
    EXPECT_EQ(event.address, 3u);
  ASSERT_TRUE(editor.knob(QuorvaneKnob::frequency).onTextEntered("2k"));
  EXPECT_NEAR(parameter(11).value(), std::log(100.0f) / std::log(1000.0f), 1e-6f);
}

// Tab walks the controls row by row, left to right, the radio groups where they stand and the
// tuning menu in the waveform's corner.
TEST_F(EditorSyncTest, TabMovesThroughTheControlsInReadingOrder) {
  std::map<juce::Component*, std::string> names;
  for (const KnobEntry& entry : kKnobTable)
    names[&editor.knob(entry.knob)] = std::string(entry.underlay.substr(0, 3));
  const char* lines[] = {"LP", "BP", "HP", "12", "24"};
  for (std::size_t i = 0; i < kRadioLineCount; ++i)
    names[&editor.radioButton(static_cast<RadioLine>(i))] = lines[i];
  names[&editor.tuning().button()] = "Tun";
  const auto traverser = editor.createKeyboardFocusTraverser();
  std::string order;
  for (auto* c = traverser->getDefaultComponent(&editor); c && order.size() < 400;
       c = traverser->getNextComponent(c)) {
    order += (names.count(c) ? names[c] : "?") + " ";
    if (c == traverser->getAllComponents(&editor).back())
      break;
  }
  EXPECT_EQ(order, "Tun Fre LP BP HP Tou Sha Det Spr Res 12 24 Spa Att Dec Sus Rel Ech Boo Rat Mot "
                   "Spa Dri Tim Dri ");
}

TEST_F(EditorSyncTest, HostChangesFromAnotherThreadMoveTheKnobsOnTheMessageThread) {
  std::thread host([&] {
    parameter(6).setValue(25.0f); // release beyond its range
    parameter(0).setValue(0.75f); // shape, also shown by the waveform
    parameter(2).setValue(0.5f);  // row spread, likewise
  });
  host.join();
  EXPECT_NE(editor.knob(QuorvaneKnob::release).value(), 1.0f); // not before the message thread runs
  runPostedMessages();
  EXPECT_EQ(editor.knob(QuorvaneKnob::release).value(), 1.0f);
  EXPECT_FLOAT_EQ(editor.knob(QuorvaneKnob::shape).value(), 0.75f);
  EXPECT_FLOAT_EQ(editor.waveform().shape, 0.75f);
  EXPECT_FLOAT_EQ(editor.waveform().rowSpread, 0.5f);
  // Moving the knob wrote nothing back: the unit keeps the host's value (within its range).
  EXPECT_FLOAT_EQ(parameter(6).value(), 20.0f);
}

TEST_F(EditorSyncTest, RadioGroupsSelectAndWriteTheirParameters) {
  editor.filterTypeClicked(editor.radioButton(RadioLine::bp));
  EXPECT_EQ(parameter(15).value(), 1.0f);
  EXPECT_FALSE(radioShowsOn(RadioLine::lp));
  EXPECT_TRUE(radioShowsOn(RadioLine::bp));
  EXPECT_FALSE(radioShowsOn(RadioLine::hp));
  editor.filterRolloffClicked(editor.radioButton(RadioLine::slope24));
  EXPECT_EQ(parameter(16).value(), 1.0f);
  EXPECT_TRUE(radioShowsOn(RadioLine::slope24));
  EXPECT_FALSE(radioShowsOn(RadioLine::slope12));

  struct Case {
    AUValue value;
    int selected; // what the type group shows afterwards
  };
  const Case cases[] = {
      {2.0f, 2},
      {1.7f, 1},                                    // converted to an integer
      {std::numeric_limits<float>::quiet_NaN(), 1}, // not finite: ignored
      {std::numeric_limits<float>::infinity(), 1},
      {1e30f, 1000}, // out of range: no button on
      {0.0f, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    parameter(15).setValue(c.value);
    runPostedMessages();
    EXPECT_EQ(editor.selectedFilterType(), c.selected);
  }
}

TEST_F(EditorSyncTest, APresetMovesEveryControl) {
  const auto presets = unit->factoryPresets();
  ASSERT_GE(presets.size(), 3u);
  for (const auto& preset : {presets[2], presets[1]}) {
    SCOPED_TRACE(preset.name);
    unit->setCurrentPreset(preset);
    runPostedMessages();
    for (const KnobEntry& entry : kKnobTable) {
      SCOPED_TRACE(entry.underlay);
      const float expected = std::clamp(
          foundation::positionOfValue(rowOf(entry), parameter(entry.address).value()), 0.0f, 1.0f);
      EXPECT_NEAR(editor.knob(entry.knob).value(), expected, 1e-5f);
    }
    EXPECT_EQ(editor.selectedFilterType(), static_cast<int>(parameter(15).value()));
    EXPECT_EQ(editor.selectedFilterRolloff(), static_cast<int>(parameter(16).value()));
    EXPECT_FLOAT_EQ(editor.waveform().shape, parameter(0).value());
  }
}

// Below 33 points the controls keep the frames of the last size laid out.
TEST_F(EditorSyncTest, TheArrangementFollowsTheSizeAndStopsAt32Points) {
  editor.setSize(1300, 200);
  const auto before = editor.knob(QuorvaneKnob::space).getBounds();
  editor.setSize(1300, 32);
  EXPECT_EQ(editor.knob(QuorvaneKnob::space).getBounds(), before);
  EXPECT_EQ(editor.arrangement(), 4);
}

TEST(EditorLifetime, ClosedEditorsLeaveNoObserversAndIgnoreLateMessages) {
  auto unit = makeSynth();
  // More editors than the tree has observer places, one after another.
  for (int i = 0; i < 3 * static_cast<int>(AUParameterTreeCallbacks::kObserverCapacity); ++i) {
    auto editor = std::make_unique<QuorvaneAUViewControllerMac>();
    editor->setAudioUnit(unit);
    ASSERT_NE(editor->observerToken(), kAUNoObserverToken) << "editor " << i;
    unit->parameterTree()->parameterWithAddress(1)->setValue(0.01f * float(i % 50));
    unit->setCurrentPreset(unit->factoryPresets().front()); // posted, never run for this editor
  }
  runPostedMessages();
  // Setting the unit again reconnects with one observer.
  QuorvaneAUViewControllerMac editor;
  editor.setAudioUnit(unit);
  const auto first = editor.observerToken();
  editor.setAudioUnit(unit);
  EXPECT_NE(editor.observerToken(), first);
}

TEST(EditorLifetime, TheFactoryConnectsOnTheMessageThreadLater) {
  QuorvaneAUViewControllerMac editor;
  auto made = editor.createAudioUnit(QuorvaneAudioUnit::kDescription);
  ASSERT_TRUE(made.ok());
  EXPECT_EQ(editor.audioUnit(), made.value());
  EXPECT_EQ(editor.observerToken(), kAUNoObserverToken);
  runPostedMessages();
  EXPECT_NE(editor.observerToken(), kAUNoObserverToken);
  EXPECT_FALSE(editor.createAudioUnit({}).ok()); // no component type: the unit's own error
}
