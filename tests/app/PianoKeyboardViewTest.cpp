// The on-screen keyboard: geometry, hit tests, pressure, and the callbacks' exact series for
// presses, drags, HOLD and octave changes.
#include "app/window/PianoKeyboardView.h"
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

  juce::Component root;
  PianoKeyboardView keyboard;
  std::vector<std::string> events;
};

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

TEST(PianoKeyboard, SoundingKeysAreFilled) {
  RecordedKeyboard k;
  k.keyboard.setHoldEnabled(true);
  k.keyboard.pressAt(k.white(0));
  k.keyboard.release();
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

// Gestures as steps: "hold" and "unhold", "pK" a press on white key K, "dY" and "xX" a drag
// that far down or right of the press, "r" the release, "up" and "down" an octave, "miss" a
// press on no key, "wN" the keyboard N wide. What each sends, and what is held after it.
// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose.
TEST(PianoKeyboard, GesturesSendTheirSeriesAsRecorded) {
  const char* scripts[] = {
      "p0 r", "p0 d40 r", "p0 d-306 d-400 d0 d10 r", "p0 d-12 r",
      // No second press, no glissando, nothing where there is no key.
      "p0 p2 x230 x-300 r r miss",
      // HOLD: a fresh press latches, a click on a latched note releases it, a drag keeps it.
      "hold p0 r p0 r p0 d-10 r", "hold p0 r p0 d-10 r", "hold p0 r p0 x4 r", "hold p0 r p0 x4.5 r",
      // Switching HOLD off releases the latched notes at once, the pressed one at its release.
      "hold p0 r p0 unhold r", "hold p0 r p2 r p4 r p2 unhold r",
      // Octaves: without HOLD everything ends first; with it latched notes sound on.
      "p0 d-12 up r hold p0 r p2 d-12 down",
      // The limits: C0 at the bottom; at the top the highest key stays a MIDI note.
      "down down down down down", "w880 up up up up up up", "w740 up up up up up p12 r p11 r"};
  std::ostringstream out;
  for (const char* script : scripts) {
    RecordedKeyboard k;
    juce::Point<double> start;
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      const double n = std::atof(step.c_str() + 1);
      if (step == "hold" || step == "unhold")
        k.keyboard.setHoldEnabled(step == "hold");
      else if (step == "up" || step == "down") {
        if (!(step == "up" ? k.keyboard.octaveUp() : k.keyboard.octaveDown()))
          k.events.push_back("no " + step);
      } else if (step == "miss")
        k.keyboard.pressAt({1, 1});
      else if (step == "r")
        k.keyboard.release();
      else if (step[0] == 'p')
        k.keyboard.pressAt(start = k.white(static_cast<int>(n)));
      else if (step[0] == 'd')
        k.keyboard.dragTo({start.x, start.y + n});
      else if (step[0] == 'x')
        k.keyboard.dragTo({start.x + n, start.y});
      else if (step[0] == 'w')
        k.keyboard.setBounds(0, 0, static_cast<int>(n), 96);
    }
    out << script << ":";
    for (const auto& event : k.events)
      out << " " << event << ",";
    out << " held";
    for (int note : k.keyboard.heldNotes())
      out << " " << note;
    out << ", base " << k.keyboard.baseMIDI() << (k.keyboard.mouseState() ? ", pressing" : "")
        << "\n";
  }
  golden::expectSection("keyboard-gestures", out.str());
}
