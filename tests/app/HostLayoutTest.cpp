// The main window's frames: how its groups stand at any size, and every frame at a few sizes,
// as tests/data/views/layouts.txt records them.
#include "app/window/HostLayout.h"
#include "app/window/PianoKeyboardView.h"
#include "tests/support/GoldenFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

namespace {

using app::HostLayout;
using app::LayoutRect;

constexpr double kTolerance = 1e-9;
constexpr double kLabelHeight = 15; // the BPM label's natural height in these cases

TEST(HostLayoutTest, GroupsAreCentredWhereTheyStand) {
  for (double width : {480.0, 600.0, 720.0, 1000.0, 1600.0}) {
    SCOPED_TRACE(width);
    const HostLayout l = app::layoutHost(width, 612, kLabelHeight);
    EXPECT_NEAR(l.playButton.x, width - l.tempoStepper.x - l.tempoStepper.width, kTolerance);
    // The pitch strip in the middle of the keyboard's left margin, the right controls' in
    // the middle of what the keys leave.
    const auto g = app::KeyboardGeometry::compute(width, HostLayout::kBottomHeight);
    EXPECT_NEAR(2 * l.pitchBendView.x + l.pitchBendView.width, g.leftMargin, kTolerance);
    const double w = l.rightControls.width;
    EXPECT_NEAR(l.leftChevron.x, w - l.rightChevron.x - l.rightChevron.width, kTolerance);
    EXPECT_NEAR(2 * l.holdButton.x + l.holdButton.width, w, kTolerance);
  }
}

// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose. The initial and the smallest size, a large one, the keyboard's ratio of 8 (margins of
// two keys) and no width.
TEST(HostLayoutTest, FramesAsRecorded) {
#define FIELD(name)                                                                                \
  { #name, &HostLayout::name }
  const std::pair<const char*, LayoutRect HostLayout::*> fields[] = {
      FIELD(topPanel),     FIELD(presetPopup),   FIELD(helpButton),    FIELD(playButton),
      FIELD(tempoLabel),   FIELD(tempoField),    FIELD(tempoStepper),  FIELD(auContainerView),
      FIELD(keyboardView), FIELD(pitchBendView), FIELD(rightControls), FIELD(octLabel),
      FIELD(leftChevron),  FIELD(rightChevron),  FIELD(holdLabel),     FIELD(holdButton)};
#undef FIELD
  std::ostringstream out;
  for (const auto& [w, h] :
       {std::pair{720.0, 612.0}, {480.0, 492.0}, {1000.0, 800.0}, {768.0, 612.0}, {0.0, 612.0}}) {
    const HostLayout layout = app::layoutHost(w, h, kLabelHeight);
    out << w << " x " << h << (layout.rightControlsPlaced ? "" : ", right controls unplaced")
        << "\n";
    for (const auto& [name, field] : fields) {
      const LayoutRect& r = layout.*field;
      out << "  " << name << " "
          << golden::frame(juce::Rectangle<double>(r.x, r.y, r.width, r.height)) << "\n";
    }
  }
  golden::expectSection("host-layout", out.str());
}

} // namespace
