// The waveform preview: the table level it reads and when it repaints; what it draws, the
// render fingerprints hold in the editors' pictures.
#include "QuorvaneAU/editor/WaveformView.h"
#include "QuorvaneAU/dsp/Wavetable.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

using quorvane::dsp::Wavetable;
using quorvane::editor::WaveformView;

TEST(WaveformView, TheLevelSuitsTheWidth) {
  const std::pair<float, int> cases[] = {{2048, 0}, {4096, 0}, {2047, 1}, {1024, 1}, {300, 3},
                                         {256, 3},  {255, 4},  {3, 10},   {1, 10},   {0, 10}};
  for (const auto& [width, level] : cases)
    EXPECT_EQ(WaveformView::levelForWidth(width), level) << width;
}

TEST(WaveformView, ValuesRepaintOnlyWhenTheyChange) {
  WaveformView view(Wavetable::shared());
  EXPECT_FALSE(view.setShape(0.5f)); // the initial value
  EXPECT_TRUE(view.setShape(0.25f));
  EXPECT_FALSE(view.setShape(0.25f));
  EXPECT_TRUE(view.setRowSpread(1.0f));
  // Out-of-range values are stored; drawing clamps them.
  EXPECT_TRUE(view.setShape(3.0f));
  view.setSize(1, 1);
  EXPECT_TRUE(snapshotOf(view).isValid());
}
