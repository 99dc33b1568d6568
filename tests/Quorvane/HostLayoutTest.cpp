// The main window's frames at its initial and its smallest size, and the keyboard proportions
// they follow.
#include "Quorvane/window/HostLayout.h"
#include "tests/support/GoldenFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using app::HostLayout;
using app::LayoutRect;

constexpr double kTolerance = 1e-9;
constexpr double kLabelHeight = 15; // the BPM label's natural height in these cases

void expectRect(const LayoutRect& actual, const LayoutRect& expected, const std::string& name) {
  SCOPED_TRACE(name);
  EXPECT_NEAR(actual.x, expected.x, kTolerance);
  EXPECT_NEAR(actual.y, expected.y, kTolerance);
  EXPECT_NEAR(actual.width, expected.width, kTolerance);
  EXPECT_NEAR(actual.height, expected.height, kTolerance);
}

struct Frame {
  const char* name;
  LayoutRect HostLayout::*field;
  LayoutRect expected; // y downward from the parent's top
};

struct SizeCase {
  double width, height;
  std::vector<Frame> frames;
};

// The frames the window's design gives from the bottom-left corner, turned over by hand:
// y_down = parent height − y_up − height.
const std::vector<SizeCase> kCases{
    {720,
     612,
     {
         {"topPanel", &HostLayout::topPanel, {0, 0, 720, 36}},
         {"presetPopup", &HostLayout::presetPopup, {12, 6, 200, 24}},
         {"helpButton", &HostLayout::helpButton, {682, 5, 26, 26}},
         {"playButton", &HostLayout::playButton, {279, 6, 36, 24}},
         {"tempoLabel", &HostLayout::tempoLabel, {321, 10.5, 34, 15}},
         {"tempoField", &HostLayout::tempoField, {359, 6, 56, 24}},
         {"tempoStepper", &HostLayout::tempoStepper, {419, 6, 22, 24}},
         {"auContainerView", &HostLayout::auContainerView, {0, 36, 720, 480}},
         {"keyboardView", &HostLayout::keyboardView, {0, 516, 720, 96}},
         // 26.496 × 88.32 at x 19.872, from the keyboard's top inset 3.84.
         {"pitchBendView", &HostLayout::pitchBendView, {19.872, 519.84, 26.496, 88.32}},
         // keysEnd = 66.24 + 12 × 44.16 + 11 × 2.6496 = 625.3056.
         {"rightControls", &HostLayout::rightControls, {625.3056, 516, 94.6944, 96}},
         // cw = (0.6 w − 4) / 2 = 26.40832, ch = 0.3 × 96 − 8 = 20.8.
         {"octLabel", &HostLayout::octLabel, {0, 3, 94.6944, 19.2}},
         {"leftChevron", &HostLayout::leftChevron, {18.93888, 23.2, 26.40832, 20.8}},
         {"rightChevron", &HostLayout::rightChevron, {49.3472, 23.2, 26.40832, 20.8}},
         {"holdLabel", &HostLayout::holdLabel, {0, 51, 94.6944, 19.2}},
         {"holdButton", &HostLayout::holdButton, {18.93888, 71.2, 56.81664, 20.8}},
     }},
    {480,
     492,
     {
         {"topPanel", &HostLayout::topPanel, {0, 0, 480, 36}},
         // The transport group starts at 159 and overlaps the pop-up (12 … 212); nothing moves.
         {"presetPopup", &HostLayout::presetPopup, {12, 6, 200, 24}},
         {"playButton", &HostLayout::playButton, {159, 6, 36, 24}},
         {"tempoStepper", &HostLayout::tempoStepper, {299, 6, 22, 24}},
         {"helpButton", &HostLayout::helpButton, {442, 5, 26, 26}},
         {"auContainerView", &HostLayout::auContainerView, {0, 36, 480, 360}},
         {"keyboardView", &HostLayout::keyboardView, {0, 396, 480, 96}},
         // Eight keys narrowed to 41.1216: the strip is 0.6 of that.
         {"pitchBendView", &HostLayout::pitchBendView, {20.78352, 399.84, 24.67296, 88.32}},
         {"rightControls", &HostLayout::rightControls, {413.76, 396, 66.24, 96}},
         {"leftChevron", &HostLayout::leftChevron, {13.248, 23.2, 17.872, 20.8}},
         {"rightChevron", &HostLayout::rightChevron, {35.12, 23.2, 17.872, 20.8}},
         {"holdButton", &HostLayout::holdButton, {13.248, 71.2, 39.744, 20.8}},
     }},
};

TEST(HostLayoutTest, FramesAtTheInitialAndTheSmallestSize) {
  for (const auto& size : kCases) {
    SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
    const HostLayout layout = app::layoutHost(size.width, size.height, kLabelHeight);
    EXPECT_TRUE(layout.rightControlsPlaced);
    for (const auto& frame : size.frames)
      expectRect(layout.*frame.field, frame.expected, frame.name);
  }
}

TEST(HostLayoutTest, EveryHeightGoesToTheEditorAndTheBarsKeepTheirs) {
  for (double height : {492.0, 612.0, 1000.0}) {
    const HostLayout layout = app::layoutHost(720, height, kLabelHeight);
    EXPECT_DOUBLE_EQ(layout.topPanel.height + layout.auContainerView.height +
                         layout.keyboardView.height,
                     height);
    EXPECT_DOUBLE_EQ(layout.keyboardView.y, height - 96);
  }
}

TEST(HostLayoutTest, RightControlsAreLeftUnplacedWithoutRoom) {
  // At this width the keys reach the right edge: the area right of them is empty.
  const HostLayout layout = app::layoutHost(0, 612, kLabelHeight);
  EXPECT_FALSE(layout.rightControlsPlaced);
  EXPECT_EQ(layout.rightControls.width, 0);
}

// The initial and the smallest size, a large one, the keyboard's ratio of 8 (margins of two
// keys) and no width.
TEST(HostLayoutTest, FramesAsRecorded) {
  const std::pair<const char*, LayoutRect HostLayout::*> fields[] = {
      {"topPanel", &HostLayout::topPanel},
      {"presetPopup", &HostLayout::presetPopup},
      {"helpButton", &HostLayout::helpButton},
      {"playButton", &HostLayout::playButton},
      {"tempoLabel", &HostLayout::tempoLabel},
      {"tempoField", &HostLayout::tempoField},
      {"tempoStepper", &HostLayout::tempoStepper},
      {"auContainerView", &HostLayout::auContainerView},
      {"keyboardView", &HostLayout::keyboardView},
      {"pitchBendView", &HostLayout::pitchBendView},
      {"rightControls", &HostLayout::rightControls},
      {"octLabel", &HostLayout::octLabel},
      {"leftChevron", &HostLayout::leftChevron},
      {"rightChevron", &HostLayout::rightChevron},
      {"holdLabel", &HostLayout::holdLabel},
      {"holdButton", &HostLayout::holdButton},
  };
  std::ostringstream out;
  for (const auto& [w, h] :
       {std::pair{720.0, 612.0}, {480.0, 492.0}, {1000.0, 800.0}, {768.0, 612.0}, {0.0, 612.0}}) {
    const HostLayout layout = app::layoutHost(w, h, kLabelHeight);
    out << w << " x " << h << (layout.rightControlsPlaced ? "" : ", right controls unplaced")
        << "\n";
    for (const auto& [name, field] : fields) {
      const LayoutRect& r = layout.*field;
      out << "  " << name << " " << golden::frame(r.x, r.y, r.width, r.height) << "\n";
    }
  }
  golden::expectSection("host-layout", out.str());
}

} // namespace
