// The on-screen keyboard: geometry, hit tests, pressure, and the callbacks' exact series for
// presses, drags, HOLD and octave changes.
#include "Quorvane/window/PianoKeyboardView.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using app::KeyboardGeometry;
using app::PianoKeyboardView;

namespace {

// A keyboard of width × height inside a root view rootHeight high, recording its callbacks as
// "on N", "off N" and "pressure N P".
struct RecordedKeyboard {
  RecordedKeyboard(int width = 720, int height = 96, int rootHeight = 612) {
    root.setSize(width, rootHeight);
    root.addAndMakeVisible(keyboard);
    keyboard.setBounds(0, 0, width, height);
    keyboard.onNoteOn = [this](int note) { events.push_back("on " + std::to_string(note)); };
    keyboard.onNoteOff = [this](int note) { events.push_back("off " + std::to_string(note)); };
    keyboard.onPolyPressure = [this](int note, std::uint8_t pressure) {
      events.push_back("pressure " + std::to_string(note) + " " + std::to_string(pressure));
    };
  }
  // The middle of white key i, low enough to miss the black keys.
  juce::Point<double> white(int i) const {
    const auto g = keyboard.geometry();
    return {g.whiteKeyX(i) + g.whiteKeyWidth / 2, g.topInset + g.whiteKeyHeight * 0.9};
  }
  void click(juce::Point<double> p) {
    keyboard.pressAt(p);
    keyboard.release();
  }
  std::vector<std::string> take() { return std::exchange(events, {}); }

  juce::Component root;
  PianoKeyboardView keyboard;
  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

} // namespace

// Hit tests agree with the keys' frames at every size: a black key over the white keys, a gap
// to the nearer white key, nothing outside the keys.
TEST(KeyboardGeometry, HitTestsFindTheKeyUnderThePoint) {
  for (const auto& [w, h] :
       {std::pair{720.0, 120.0}, {480.0, 96.0}, {880.0, 96.0}, {720.0, 40.0}}) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    const auto g = KeyboardGeometry::compute(w, h);
    const double low = g.topInset + g.whiteKeyHeight - 1, high = g.topInset + 1;
    for (int i = 0; i < g.whiteKeyCount; ++i) {
      const int offset = KeyboardGeometry::whiteKeyOffset(i);
      const double right = g.whiteKeyX(i) + g.whiteKeyWidth; // the gap after key i starts here
      EXPECT_EQ(g.hitTest({g.whiteKeyX(i) + 1, low}), offset) << i;
      EXPECT_EQ(g.hitTest({right + g.gap * 0.25, low}), offset) << i;
      if (i + 1 == g.whiteKeyCount)
        continue;
      EXPECT_EQ(g.hitTest({right + g.gap * 0.75, low}), KeyboardGeometry::whiteKeyOffset(i + 1));
      if (i % 7 != 2 && i % 7 != 6) { // E-F and B-C have none
        const auto black = g.blackKeyRect(i);
        EXPECT_EQ(g.hitTest(black.getCentre()), offset + 1) << i;
        EXPECT_EQ(g.hitTest({black.getX() + 0.5, black.getBottom() + 0.5}), offset) << i;
      } else {
        EXPECT_EQ(g.hitTest({right + g.gap * 0.25, high}), offset) << i;
      }
    }
    for (const juce::Point<double> p : {juce::Point{g.whiteKeyX(1), g.topInset - 0.5},
                                        {g.whiteKeyX(1), g.topInset + g.whiteKeyHeight + 0.5},
                                        {g.leftMargin - g.gap, low},
                                        {g.keysEnd() + g.gap, low}})
      EXPECT_FALSE(g.hitTest(p));
  }
}

TEST(PianoKeyboard, PressureMapsHalfTheRootHeightToFullPressure) {
  RecordedKeyboard k(720, 96, 612);
  const std::pair<double, int> cases[] = {{0, 0},     {1, 0},     {1.2, 0},    {1.3, 1},
                                          {306, 127}, {305, 127}, {5000, 127}, {-50, 0}};
  for (const auto& [distance, pressure] : cases)
    EXPECT_EQ(k.keyboard.pressureFor(distance), pressure) << distance;

  k.keyboard.pressureReferenceHeight = [] { return 254.0; };
  EXPECT_EQ(k.keyboard.pressureFor(10), 10);
  k.keyboard.pressureReferenceHeight = [] { return 0.0; };
  EXPECT_EQ(k.keyboard.pressureFor(100), 0);

  PianoKeyboardView alone; // no parent: its own height
  alone.setSize(720, 96);
  EXPECT_EQ(alone.pressureFor(48), 127);
}

TEST(PianoKeyboard, PressesSendTheirSeries) {
  struct Step {
    enum Kind { press, drag, release, holdOn, holdOff } kind;
    double dy = 0, dx = 0; // drags: from the press point
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    Events events;
    std::vector<int> heldAfter;
  };
  using S = Step;
  const Case cases[] = {
      {"a click", {{S::press}, {S::release}}, {"on 48", "off 48"}, {}},
      {"dragging down sends no pressure",
       {{S::press}, {S::drag, 40}, {S::release}},
       {"on 48", "off 48"},
       {}},
      {"half the window up is full pressure, back to the start is 0 once",
       {{S::press}, {S::drag, -306}, {S::drag, -400}, {S::drag, 0}, {S::drag, 10}, {S::release}},
       {"on 48", "pressure 48 127", "pressure 48 0", "off 48"},
       {}},
      {"pressure is ended before the note",
       {{S::press}, {S::drag, -12}, {S::release}},
       {"on 48", "pressure 48 5", "pressure 48 0", "off 48"},
       {}},
      {"HOLD: click, click again, then click and drag",
       {{S::holdOn},
        {S::press},
        {S::release},
        {S::press},
        {S::release},
        {S::press},
        {S::drag, -10},
        {S::release}},
       {"on 48", "off 48", "on 48", "pressure 48 4", "pressure 48 0"},
       {48}},
      {"HOLD: a dragged re-press keeps the note",
       {{S::holdOn}, {S::press}, {S::release}, {S::press}, {S::drag, -10}, {S::release}},
       {"on 48", "pressure 48 4", "pressure 48 0"},
       {48}},
      {"HOLD: sideways within the threshold is still a click",
       {{S::holdOn}, {S::press}, {S::release}, {S::press}, {S::drag, 0, 4}, {S::release}},
       {"on 48", "off 48"},
       {}},
      {"HOLD: sideways past the threshold is a drag",
       {{S::holdOn}, {S::press}, {S::release}, {S::press}, {S::drag, 0, 4.5}, {S::release}},
       {"on 48"},
       {48}},
      {"HOLD off while pressing: the pressed note ends at mouse up",
       {{S::holdOn}, {S::press}, {S::release}, {S::press}, {S::holdOff}, {S::release}},
       {"on 48", "off 48"},
       {}},
  };
  for (const Case& c : cases) {
    RecordedKeyboard k;
    const auto start = k.white(0);
    for (const Step& step : c.steps) {
      switch (step.kind) {
      case Step::press:
        k.keyboard.pressAt(start);
        break;
      case Step::drag:
        k.keyboard.dragTo({start.x + step.dx, start.y + step.dy});
        break;
      case Step::release:
        k.keyboard.release();
        break;
      case Step::holdOn:
        k.keyboard.setHoldEnabled(true);
        break;
      case Step::holdOff:
        k.keyboard.setHoldEnabled(false);
        break;
      }
    }
    EXPECT_EQ(k.events, c.events) << c.name;
    EXPECT_EQ(std::vector<int>(k.keyboard.heldNotes().begin(), k.keyboard.heldNotes().end()),
              c.heldAfter)
        << c.name;
    EXPECT_FALSE(k.keyboard.mouseState()) << c.name;
  }
}

TEST(PianoKeyboard, APressKeepsItsKeyAndASecondPressIsIgnored) {
  RecordedKeyboard k;
  k.keyboard.pressAt(k.white(0));
  k.keyboard.pressAt(k.white(2));          // no second press while one is in progress
  k.keyboard.dragTo(k.white(5));           // no glissando
  k.keyboard.dragTo({-100, k.white(0).y}); // nor when leaving the view
  k.keyboard.release();
  k.keyboard.release();       // nothing in progress: nothing
  k.keyboard.pressAt({1, 1}); // no key: nothing
  EXPECT_EQ(k.take(), (Events{"on 48", "off 48"}));
}

TEST(PianoKeyboard, SwitchingHoldOffReleasesTheOtherLatchedNotesAtOnce) {
  RecordedKeyboard k;
  k.keyboard.setHoldEnabled(true);
  k.click(k.white(0));
  k.click(k.white(2));
  k.click(k.white(4));
  k.keyboard.pressAt(k.white(2)); // a re-press of E
  k.take();
  k.keyboard.setHoldEnabled(false);
  EXPECT_EQ(k.take(), (Events{"off 48", "off 55"}));
  EXPECT_EQ(k.keyboard.heldNotes(), (std::set<int>{52}));
  k.keyboard.release();
  EXPECT_EQ(k.take(), (Events{"off 52"}));
  EXPECT_TRUE(k.keyboard.heldNotes().empty());
}

TEST(PianoKeyboard, OctaveChanges) {
  // HOLD off: everything ends first, pressure of the press included.
  RecordedKeyboard k;
  k.keyboard.pressAt(k.white(0));
  k.keyboard.dragTo(k.white(0) + juce::Point<double>(0, -12));
  k.take();
  EXPECT_TRUE(k.keyboard.octaveUp());
  EXPECT_EQ(k.take(), (Events{"pressure 48 0", "off 48"}));
  EXPECT_EQ(k.keyboard.baseMIDI(), 60);
  k.keyboard.release(); // the press is over: its mouse up does nothing
  EXPECT_TRUE(k.take().empty());

  // HOLD on: latched notes sound on; the press only loses its pressure.
  k.keyboard.setHoldEnabled(true);
  k.click(k.white(0));
  k.keyboard.pressAt(k.white(2));
  k.keyboard.dragTo(k.white(2) + juce::Point<double>(0, -12));
  k.take();
  EXPECT_TRUE(k.keyboard.octaveDown());
  EXPECT_EQ(k.take(), (Events{"pressure 64 0"}));
  EXPECT_EQ(k.keyboard.heldNotes(), (std::set<int>{60, 64}));
  EXPECT_EQ(k.keyboard.baseMIDI(), 48);
}

TEST(PianoKeyboard, OctaveLimits) {
  RecordedKeyboard down;
  for (int expected : {36, 24, 12, 0})
    EXPECT_TRUE(down.keyboard.octaveDown()) << expected;
  EXPECT_FALSE(down.keyboard.octaveDown());
  EXPECT_EQ(down.keyboard.baseMIDI(), 0);

  RecordedKeyboard fifteen(880, 96); // 15 white keys: the top C is base + 24
  ASSERT_EQ(fifteen.keyboard.geometry().whiteKeyCount, 15);
  while (fifteen.keyboard.octaveUp()) {
  }
  EXPECT_EQ(fifteen.keyboard.baseMIDI(), 96);

  // 13 white keys reach a sixth above the top C: at base 108 the last key would be 129.
  RecordedKeyboard thirteen(740, 96);
  ASSERT_EQ(thirteen.keyboard.geometry().whiteKeyCount, 13);
  while (thirteen.keyboard.octaveUp()) {
  }
  EXPECT_EQ(thirteen.keyboard.baseMIDI(), 108);
  thirteen.click(thirteen.white(12));
  thirteen.click(thirteen.white(11));
  EXPECT_EQ(thirteen.take(), (Events{"on 127", "off 127"}));
}

TEST(PianoKeyboard, SoundingKeysAreFilled) {
  RecordedKeyboard k;
  k.keyboard.setHoldEnabled(true);
  k.click(k.white(0));
  const auto image = snapshotOf(k.keyboard);
  const auto at = [&](juce::Point<double> p) {
    return image.getPixelAt(static_cast<int>(p.x), static_cast<int>(p.y));
  };
  EXPECT_NEAR(at(k.white(0)).getGreen(), 113.5, 1);
  EXPECT_TRUE(isTransparent(at(k.white(1))));
  const auto g = k.keyboard.geometry();
  // The left outline of white key 1, and the gap between it and key 0, which is not drawn.
  const double y = g.topInset + g.whiteKeyHeight * 0.8;
  EXPECT_TRUE(isOpaqueWhite(at({g.whiteKeyX(1) + g.gap / 2, y})));
  EXPECT_TRUE(isTransparent(at({g.whiteKeyX(1) - g.gap / 2, y})));
}

// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose. The host window's bottom area and narrower, margins of a key and a half and of two (a
// ratio of 8 and above), the inset's and gap's floors, no room for eight keys, and empty views.
TEST(KeyboardGeometry, KeysAsRecorded) {
  const std::pair<double, double> sizes[] = {{720, 120}, {720, 96}, {480, 96}, {767, 96},
                                             {768, 96},  {880, 96}, {10, 96},  {720, 40},
                                             {0, 96},    {720, 0},  {-5, -5}};
  std::ostringstream out;
  for (const auto& [w, h] : sizes) {
    const auto g = KeyboardGeometry::compute(w, h);
    out << w << " x " << h << ": " << g.whiteKeyCount << " white keys "
        << golden::number(g.whiteKeyWidth) << " x " << golden::number(g.whiteKeyHeight)
        << ", black " << golden::number(g.blackKeyWidth) << " x "
        << golden::number(g.blackKeyHeight) << ", gap " << golden::number(g.gap) << ", inset "
        << golden::number(g.topInset) << ", margins " << golden::number(g.leftMargin) << " "
        << golden::number(g.rightMargin) << ", keys end " << golden::number(g.keysEnd()) << "\n";
    out << "  offsets";
    for (int i = 0; i < g.whiteKeyCount; ++i)
      out << " " << KeyboardGeometry::whiteKeyOffset(i) << (g.hasBlackKeyAfter(i) ? " #" : "");
    out << "\n";
  }
  golden::expectSection("keyboard", out.str());
}
