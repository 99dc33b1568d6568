// The rotary control: its value, pointer angle, drag rule, cancel, reset and images.
#include "platform/toolkit/AURotaryControl.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using toolkit::AURotaryControl;

namespace {

// A control of 100 × 100 that counts its callbacks.
struct CountedControl {
  CountedControl() {
    control.setSize(100, 100);
    control.onValueChanged = [this] { ++changes; };
    control.onDragBegan = [this] { ++began; };
    control.onDragEnded = [this] { ++ended; };
  }
  AURotaryControl control;
  int changes = 0, began = 0, ended = 0;
};

// A white pixel within a pixel of p: the pointer is a thin, smoothed line.
bool whiteNear(const juce::Image& image, juce::Point<int> p) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (isOpaqueWhite(image.getPixelAt(p.x + dx, p.y + dy)))
        return true;
  return false;
}

} // namespace

// The angles of values inside the range are drawn: the default pointer's test below.
TEST(RotaryControl, AnglesFollowTheBounds) {
  AURotaryControl control;
  control.lowerBound = 10.0f;
  control.upperBound = 20.0f;
  EXPECT_FLOAT_EQ(control.angleOf(15.0f), 0.0f);
  EXPECT_FLOAT_EQ(control.valueAtAngle(160.0f), 20.0f);
}

// Steps on a control of 100 x 100: "sV" sets V, "rV" makes V the reset value, "b" begins a
// drag, "dX,Y" drags that far from its start, "e" ends it, "c", "esc" and "blur" cancel it (by
// call, Escape key, focus lost), "2x" is a double click, "up", "left", "pgup", "pgdn",
// "home", "end" and "a" keys. After each,
// the value, the callbacks so far (changes, drags begun, drags ended) and "dragging" during one.
// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose.
TEST(RotaryControl, GesturesAsRecorded) {
  const char* scripts[] = {
      // Set values clamp, an unchanged or not finite one calls nothing.
      "s0.25 s0.25 s7 s1.5 s-2 snan sinf",
      // A drag turns from where it began: right and up turn up, down turns down, past the stop
      // nothing more, and back at once.
      "s0.3 b d12.5,0 d25,0 e", "s0.3 b d0,12.5 d0,25 e", "s0.3 b d12.5,-12.5 d25,-25 e",
      "s0.9 b d500,0 d900,0 d-1,0 e",
      // Cancelling restores the value once and ends the drag; its button's release ends nothing.
      "s0.3 b d40,-10 c e", "s0.3 b d40,-10 esc e", "s0.3 b d40,-10 blur e",
      // A double click resets unless already there; arrow keys step as gestures.
      "r0.5 s0.1 2x 2x", "s0.5 up left a", "s0.5 pgup pgdn pgdn home end end"};
  const std::map<std::string, int> keys{{"up", juce::KeyPress::upKey},
                                        {"left", juce::KeyPress::leftKey},
                                        {"pgup", juce::KeyPress::pageUpKey},
                                        {"pgdn", juce::KeyPress::pageDownKey},
                                        {"home", juce::KeyPress::homeKey},
                                        {"end", juce::KeyPress::endKey},
                                        {"a", 'a'}};
  std::ostringstream out;
  for (const char* script : scripts) {
    CountedControl c;
    auto& k = c.control;
    out << script << ":";
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      const float n = std::strtof(step.c_str() + 1, nullptr);
      bool handled = true;
      if (step == "esc")
        handled = k.keyPressed(juce::KeyPress(juce::KeyPress::escapeKey));
      else if (const auto key = keys.find(step); key != keys.end())
        handled = k.keyPressed(juce::KeyPress(key->second));
      else if (step == "blur")
        k.focusLost(juce::Component::focusChangedDirectly);
      else if (step == "2x")
        k.doubleClicked();
      else if (step[0] == 's')
        k.setValue(n);
      else if (step[0] == 'r')
        k.resetValue = n;
      else if (step == "b")
        k.dragBegan();
      else if (step == "e")
        k.dragEnded();
      else if (step == "c")
        k.dragCancelled();
      else if (step[0] == 'd')
        k.dragChanged(n, std::strtof(step.c_str() + step.find(',') + 1, nullptr));
      out << " " << golden::number(k.value(), true) << " (" << c.changes << " " << c.began << " "
          << c.ended << (k.isDragging() ? ", dragging" : "") << (handled ? ")" : ", ignored)");
    }
    out << "\n";
  }
  golden::expectSection("rotary-control", out.str());
}

// The images at a screen's scale, the render fingerprints hold in the editors' pictures.
TEST(RotaryControl, ACollapsedControlKeepsItsImages) {
  AURotaryControl control;
  control.setSize(60, 40);
  control.setSize(0, 40);
  control.setSize(60, 0);
  EXPECT_EQ(control.underlayImage().getWidth(), 60);
  EXPECT_EQ(control.overlayImage().getWidth(), 60);
}

TEST(RotaryControl, TheDefaultPointerTurnsAboutTheCentre) {
  AURotaryControl control;
  control.setSize(100, 100);
  struct Case {
    float value;
    juce::Point<int> white; // a pixel on the pointer
    juce::Point<int> clear; // a pixel the pointer has left
  };
  // The default pointer runs from the centre to 4 points above the bottom edge of its y-up
  // image, so at 0 degrees it points down; at value 0 it is turned 160 degrees anticlockwise.
  const Case cases[] = {
      {0.5f, {50, 90}, {50, 10}},
      {0.0f, {62, 17}, {50, 90}},
      {1.0f, {38, 17}, {62, 17}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    control.setValue(c.value);
    const auto image = snapshotOf(control);
    EXPECT_TRUE(whiteNear(image, c.white));
    EXPECT_FALSE(whiteNear(image, c.clear));
  }
}

// The value shows while the pointer is over the knob and for a moment after a key turn; Enter
// opens the field, which hands over what was typed and stays open when it could not be read.
TEST(RotaryControl, ShowsItsValueAndTakesATypedOne) {
  CountedControl c;
  auto& k = c.control;
  k.setSize(100, 100);
  EXPECT_FALSE(k.keyPressed(juce::KeyPress(juce::KeyPress::returnKey))); // no text: no field
  std::vector<juce::String> typed;
  k.valueText = [](float v) { return juce::String(v, 2); };
  k.onTextEntered = [&](const juce::String& text) {
    typed.push_back(text);
    return text != "what";
  };
  EXPECT_FALSE(k.showsValue());
  const juce::MouseEvent pointer(juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f,
                                 0.0f, 0.0f, 0.0f, 0.0f, &k, &k, {}, {}, {}, 1, false);
  k.mouseEnter(pointer);
  EXPECT_TRUE(k.showsValue());
  k.mouseExit(pointer);
  EXPECT_FALSE(k.showsValue());
  EXPECT_TRUE(k.keyPressed(juce::KeyPress(juce::KeyPress::upKey)));
  EXPECT_TRUE(k.showsValue()); // for a moment after a key turn
  k.setValue(0.0f);
  EXPECT_TRUE(k.keyPressed(juce::KeyPress(juce::KeyPress::returnKey)));
  ASSERT_TRUE(k.isValueFieldOpen());
  EXPECT_FALSE(k.showsValue()); // the field stands in its place
  EXPECT_EQ(k.valueField()->getText(), "0.00");
  k.valueField()->setText("what");
  EXPECT_FALSE(k.acceptValueField());
  EXPECT_TRUE(k.isValueFieldOpen());
  k.valueField()->setText("0.5");
  EXPECT_TRUE(k.acceptValueField());
  EXPECT_FALSE(k.isValueFieldOpen());
  k.openValueField();
  k.closeValueField(); // Escape: nothing handed over
  EXPECT_EQ(typed, (std::vector<juce::String>{"what", "0.5"}));
  EXPECT_EQ(c.changes, 2); // the key turn and the set: the owner applies what was typed
}
