// The rotary control: its value, pointer angle, drag rule, cancel, reset and images.
#include "platform/toolkit/AURotaryControl.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using toolkit::AURotaryControl;

namespace {

constexpr float kQuarterTurnDegrees = 0.7071067811865476f * 180.0f / 3.14159265358979f; // 40.51

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

TEST(RotaryControl, SettingClampsAndANoOpCallsNothing) {
  CountedControl c;
  struct Case {
    float set;
    float stored;
    int changes; // callbacks so far
  };
  const Case cases[] = {
      {0.25f, 0.25f, 1},
      {0.25f, 0.25f, 1}, // the same value again: nothing
      {7.0f, 1.0f, 2},
      {1.5f, 1.0f, 2}, // above the range: the upper bound, once
      {-2.0f, 0.0f, 3},
      {std::numeric_limits<float>::quiet_NaN(), 0.0f, 3},
      {std::numeric_limits<float>::infinity(), 0.0f, 3}, // not finite: ignored
  };
  for (const Case& step : cases) {
    c.control.setValue(step.set);
    EXPECT_EQ(c.control.value(), step.stored) << "after setting " << step.set;
    EXPECT_EQ(c.changes, step.changes) << "after setting " << step.set;
  }
}

// The angles of values inside the range are drawn: the default pointer's test below.
TEST(RotaryControl, AnglesFollowTheBounds) {
  AURotaryControl control;
  control.lowerBound = 10.0f;
  control.upperBound = 20.0f;
  EXPECT_FLOAT_EQ(control.angleOf(15.0f), 0.0f);
  EXPECT_FLOAT_EQ(control.valueAtAngle(160.0f), 20.0f);
}

TEST(RotaryControl, DragsTurnFromWhereTheDragBegan) {
  struct Case {
    const char* name;
    float tx, ty;
    float degrees; // the turn
  };
  const Case cases[] = {
      {"a quarter of the width right", 25, 0, kQuarterTurnDegrees},
      {"a quarter of the width down", 0, 25, -kQuarterTurnDegrees},
      {"diagonally up and right", 25, -25, 2.0f * kQuarterTurnDegrees},
  };
  for (const Case& drag : cases) {
    SCOPED_TRACE(drag.name);
    AURotaryControl control;
    control.setSize(100, 100);
    control.setValue(0.3f); // at -64 degrees
    control.dragBegan();
    control.dragChanged(drag.tx / 2.0f, drag.ty / 2.0f); // an intermediate position
    control.dragChanged(drag.tx, drag.ty);
    EXPECT_NEAR(control.pointerAngle(), -64.0f + drag.degrees, 1e-3);
    control.dragEnded();
  }
}

TEST(RotaryControl, ADragStopsAtTheEndAndRespondsAtOnceOnTheWayBack) {
  CountedControl c;
  c.control.setValue(0.9f);
  c.control.dragBegan();
  c.control.dragChanged(500, 0);
  EXPECT_EQ(c.control.value(), 1.0f);
  const int changesAtStop = c.changes;
  c.control.dragChanged(900, 0); // further past the stop: nothing changes
  EXPECT_EQ(c.changes, changesAtStop);
  c.control.dragChanged(-1, 0); // just left of the start: below the start value
  EXPECT_LT(c.control.value(), 0.9f);
  c.control.dragEnded();
  EXPECT_EQ(c.began, 1);
  EXPECT_EQ(c.ended, 1);
}

TEST(RotaryControl, CancellingRestoresTheValueOnce) {
  struct Case {
    const char* name;
    void (*cancel)(AURotaryControl&);
  };
  const Case cases[] = {
      {"cancel", [](AURotaryControl& k) { k.dragCancelled(); }},
      {"escape",
       [](AURotaryControl& k) {
         EXPECT_TRUE(k.keyPressed(juce::KeyPress(juce::KeyPress::escapeKey)));
       }},
      {"focus lost",
       [](AURotaryControl& k) { k.focusLost(juce::Component::focusChangedDirectly); }},
  };
  for (const Case& way : cases) {
    SCOPED_TRACE(way.name);
    CountedControl c;
    c.control.setValue(0.3f);
    c.changes = 0;
    c.control.dragBegan();
    c.control.dragChanged(40, -10);
    ASSERT_NE(c.control.value(), 0.3f);
    const int beforeCancel = c.changes;
    way.cancel(c.control);
    EXPECT_FLOAT_EQ(c.control.value(), 0.3f);
    EXPECT_EQ(c.changes, beforeCancel + 1);
    EXPECT_EQ(c.ended, 1);
    EXPECT_FALSE(c.control.isDragging());
    c.control.dragEnded(); // the button's release after a cancel ends nothing more
    EXPECT_EQ(c.ended, 1);
  }
}

TEST(RotaryControl, DoubleClickResetsUnlessAlreadyThere) {
  CountedControl c;
  c.control.resetValue = 0.5f;
  c.control.setValue(0.1f);
  c.changes = 0;
  c.control.doubleClicked();
  EXPECT_EQ(c.control.value(), 0.5f);
  EXPECT_EQ(c.changes, 1);
  c.control.doubleClicked();
  EXPECT_EQ(c.changes, 1);
  EXPECT_EQ(c.began + c.ended, 0);
}

TEST(RotaryControl, KeysAndWheelStepAsGestures) {
  CountedControl c;
  c.control.setValue(0.5f);
  EXPECT_TRUE(c.control.keyPressed(juce::KeyPress(juce::KeyPress::upKey)));
  EXPECT_FLOAT_EQ(c.control.value(), 0.51f);
  EXPECT_TRUE(c.control.keyPressed(juce::KeyPress(juce::KeyPress::leftKey)));
  EXPECT_FLOAT_EQ(c.control.value(), 0.5f);
  EXPECT_EQ(c.began, 2);
  EXPECT_EQ(c.ended, 2);
  EXPECT_FALSE(c.control.keyPressed(juce::KeyPress('a')));
}

TEST(RotaryControl, ImagesComeFromTheProvidersAtThePixelSize) {
  AURotaryControl control;
  std::vector<std::pair<float, float>> asked;
  control.underlayImageProvider = [&](float w, float h) {
    asked.emplace_back(w, h);
    return juce::Image(juce::Image::ARGB, static_cast<int>(w), static_cast<int>(h), true);
  };
  control.setSize(60, 40);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked.back(), std::make_pair(60.0f, 40.0f));
  // Painted at scale 2 (a HiDPI screen), the images are made again at twice the size.
  snapshotOf(control, 2.0f);
  EXPECT_EQ(asked.back(), std::make_pair(120.0f, 80.0f));
  EXPECT_EQ(control.underlayImage().getWidth(), 120);
  // Laid out with no width or height, it keeps its images.
  control.setSize(0, 40);
  control.setSize(60, 0);
  EXPECT_EQ(control.underlayImage().getWidth(), 120);
  EXPECT_EQ(control.overlayImage().getWidth(), 120);
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
