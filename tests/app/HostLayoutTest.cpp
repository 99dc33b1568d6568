// The main window's frames: every frame at a few sizes, as tests/data/views/layouts.txt records
// them. How the groups stand (centred, the editor taking the height) is in those numbers.
#include "app/window/HostLayout.h"
#include "tests/support/GoldenFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

namespace {

using app::HostLayout;
using app::LayoutRect;

constexpr double kLabelHeight = 15; // the BPM label's natural height in these cases

// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose. The initial and the smallest size, a width between where the preset pop-up is
// narrowed, a large one, the keyboard's ratio of 8 (margins of two keys) and no width.
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
  for (const auto& [w, h] : {std::pair{720.0, 612.0},
                             {480.0, 492.0},
                             {560.0, 540.0},
                             {1000.0, 800.0},
                             {768.0, 612.0},
                             {0.0, 612.0}}) {
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
