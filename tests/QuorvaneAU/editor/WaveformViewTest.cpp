// The waveform preview: the table level it reads, its interpolation, and what it draws.
#include "QuorvaneAU/editor/WaveformView.h"
#include "QuorvaneAU/dsp/Wavetable.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using quorvane::dsp::Wavetable;
using quorvane::editor::WaveformView;

namespace {

float tableSample(int level, int waveform, int i) {
  return Wavetable::shared().samples[static_cast<std::size_t>(
      level * Wavetable::kLevelStride + waveform * Wavetable::kRowLength + i)];
}

bool mainColour(juce::Colour c) { return c.getGreen() > 200 && c.getRed() < 120; }
bool rowColour(juce::Colour c) {
  return c.getGreen() > 110 && c.getGreen() < 175 && c.getRed() < 30 && c.getBlue() < 30;
}

// A pixel that satisfies is within two pixels of (x, y).
bool near(const juce::Image& image, int x, float y, const std::function<bool(juce::Colour)>& is) {
  const int row = static_cast<int>(std::lround(y));
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (is(image.getPixelAt(x + dx, row + dy)))
        return true;
  return false;
}

} // namespace

TEST(WaveformView, TheLevelSuitsTheWidth) {
  const std::pair<float, int> cases[] = {{2048, 0}, {4096, 0}, {2047, 1}, {1024, 1}, {300, 3},
                                         {256, 3},  {255, 4},  {3, 10},   {1, 10},   {0, 10}};
  for (const auto& [width, level] : cases)
    EXPECT_EQ(WaveformView::levelForWidth(width), level) << width;
}

TEST(WaveformView, SamplesInterpolateBetweenWaveformsAndNeighbours) {
  const WaveformView view(Wavetable::shared());
  constexpr int kCount = 257; // point k sits on table sample 8k
  for (int k : {0, 1, 100, 255}) {
    SCOPED_TRACE(k);
    EXPECT_FLOAT_EQ(view.sampleAt(2, 0.0f, k, kCount), tableSample(2, 0, 8 * k));
    EXPECT_FLOAT_EQ(view.sampleAt(2, 7.0f, k, kCount), tableSample(2, 7, 8 * k));
    EXPECT_NEAR(view.sampleAt(2, 3.5f, k, kCount),
                0.5f * (tableSample(2, 3, 8 * k) + tableSample(2, 4, 8 * k)), 1e-6f);
  }
  // The last point reads just short of the cycle's end, between its last sample and the first.
  const float last = view.sampleAt(0, 1.0f, kCount - 1, kCount);
  EXPECT_NEAR(last,
              tableSample(0, 1, 2047) + 0.999f * (tableSample(0, 1, 0) - tableSample(0, 1, 2047)),
              1e-4f);
  // Two points for the narrowest view: the cycle's start and end.
  EXPECT_FLOAT_EQ(view.sampleAt(10, 0.0f, 0, 2), tableSample(10, 0, 0));
}

TEST(WaveformView, RowsCoincideWithoutSpreadAndFanOutWithIt) {
  WaveformView view(Wavetable::shared());
  view.setSize(202, 102); // drawn in 201 × 101 from (0.5, 0.5)
  const float H = 101.0f, my = 51.0f;
  const int count = 201, level = WaveformView::levelForWidth(201.0f);
  const int column = 60; // near point 60 of 201
  view.setShape(0.3f);

  view.setRowSpread(0.0f);
  auto image = snapshotOf(view);
  const float s = 0.3f * 7.0f;
  EXPECT_TRUE(near(image, column, my - H * 0.5f * view.sampleAt(level, s, 60, count), mainColour));
  // Where the outer rows would sit with spread, nothing but the grid and background.
  EXPECT_FALSE(near(image, column, my - H * 0.4375f, rowColour));
  EXPECT_FALSE(near(image, column, my + H * 0.4375f, rowColour));
  EXPECT_EQ(image.getPixelAt(0, 0).getAlpha(), 0);      // the rounded corner is clipped
  EXPECT_TRUE(isOpaqueWhite(image.getPixelAt(101, 0))); // the border

  view.setRowSpread(1.0f);
  image = snapshotOf(view);
  // Rows at one eighth of the amplitude about 0.4375 and 0.3125 of the height off the centre,
  // reading waveforms up to 3.5 positions away (clamped to 0 ... 7).
  const float offsets[] = {-0.4375f, -0.3125f, 0.3125f, 0.4375f};
  const float positions[] = {0.0f, s - 3.5f / 3.0f, s + 3.5f / 3.0f, s + 3.5f};
  // Three quarters through the cycle, where the sine of the first row dips (so it clears the
  // border).
  const int k = 149, x = static_cast<int>(0.5f + 201.0f * k / 200.0f);
  for (int row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    const float y =
        my + H * offsets[row] - H * 0.0625f * view.sampleAt(level, positions[row], k, count);
    EXPECT_TRUE(near(image, x, y, rowColour));
  }
  EXPECT_TRUE(near(image, column, my - H * 0.25f * view.sampleAt(level, s, 60, count), mainColour));
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
