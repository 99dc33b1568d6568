// The synthesiser editor's five arrangements and the frames they give.
#include "QuorvaneAU/editor/QuorvaneEditorLayout.h"

#include <gtest/gtest.h>

#include <set>

using namespace quorvane::editor;

namespace {

void expectFrame(juce::Rectangle<float> actual, juce::Rectangle<float> expected) {
  EXPECT_NEAR(actual.getX(), expected.getX(), 0.01f);
  EXPECT_NEAR(actual.getY(), expected.getY(), 0.01f);
  EXPECT_NEAR(actual.getWidth(), expected.getWidth(), 0.01f);
  EXPECT_NEAR(actual.getHeight(), expected.getHeight(), 0.01f);
}

} // namespace

TEST(EditorLayout, TheArrangementFollowsTheAspectRatio) {
  struct Case {
    float w, h;
    int mode, rows, cols;
  };
  const Case cases[] = {
      {720, 480, 2, 4, 6}, {1000, 300, 3, 3, 8}, {1300, 200, 4, 2, 12}, {400, 600, 1, 6, 4},
      {300, 700, 0, 8, 3}, {500, 500, 2, 4, 6}, // square: mode 2
      {100, 181, 0, 8, 3}, {100, 180, 1, 6, 4}, // H / W = 1.8 is mode 1
      {250, 100, 2, 4, 6}, {251, 100, 3, 3, 8},  {500, 100, 3, 3, 8},   {501, 100, 4, 2, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    EXPECT_EQ(arrangementFor(c.w, c.h), c.mode);
    const auto layout = layoutFor(c.w, c.h);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->mode, c.mode);
    EXPECT_EQ(layout->rows, c.rows);
    EXPECT_EQ(layout->cols, c.cols);
  }
  EXPECT_EQ(arrangementFor(0, 300), 2);
  EXPECT_EQ(arrangementFor(300, 0), 2);
}

TEST(EditorLayout, NothingIsLaidOutAt32PointsOrLess) {
  EXPECT_FALSE(layoutFor(720, 32));
  EXPECT_FALSE(layoutFor(32, 480));
  EXPECT_FALSE(layoutFor(-5, 480));
  EXPECT_TRUE(layoutFor(33, 33));
}

TEST(EditorLayout, EveryArrangementHoldsEachKnobOnceAndKeepsTheWaveformAndRadioCellsFree) {
  struct Case {
    int mode, rows, cols;
    std::vector<std::pair<int, int>> radioCells;
  };
  const Case cases[] = {{0, 8, 3, {{2, 1}, {3, 1}}},
                        {1, 6, 4, {{2, 2}, {2, 3}}},
                        {2, 4, 6, {{0, 4}, {1, 4}}},
                        {3, 3, 8, {{0, 4}, {1, 4}}},
                        {4, 2, 12, {{0, 4}, {1, 4}}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    std::multiset<QuorvaneKnob> seen;
    for (int i = 0; i < c.rows; ++i)
      for (int j = 0; j < c.cols; ++j)
        if (const auto knob = knobAt(c.mode, i, j))
          seen.insert(*knob);
    EXPECT_EQ(seen.size(), kKnobCount);
    EXPECT_EQ(std::set<QuorvaneKnob>(seen.begin(), seen.end()).size(), kKnobCount);
    for (int j = 0; j < 3; ++j)
      EXPECT_FALSE(knobAt(c.mode, 0, j));
    for (const auto& [row, column] : c.radioCells)
      EXPECT_FALSE(knobAt(c.mode, row, column));
    EXPECT_FALSE(knobAt(c.mode, c.rows, 0));
    EXPECT_FALSE(knobAt(c.mode, 0, c.cols));
  }
}

TEST(EditorLayout, FramesAt720By480) {
  const auto layout = layoutFor(720, 480);
  ASSERT_TRUE(layout);
  EXPECT_NEAR(layout->cw, 114.67f, 0.01f);
  EXPECT_FLOAT_EQ(layout->ch, 112.0f);
  EXPECT_FLOAT_EQ(layout->k, 108.0f);
  EXPECT_EQ(knobAt(2, 0, 3), QuorvaneKnob::frequency);
  const float cw = 688.0f / 6.0f;
  expectFrame(*layout->knobs[static_cast<std::size_t>(QuorvaneKnob::frequency)],
              {16 + cw * 3 + (cw - 108) / 2, 16 + 2, 108, 108});
  expectFrame(*layout->knobs[static_cast<std::size_t>(QuorvaneKnob::drive)],
              {16 + cw * 5 + (cw - 108) / 2, 16 + 112 * 3 + 2, 108, 108});
  // Waveform: m = 6.72, w = 3cw - 2m, h = 112 - 2m, s = 0.05w.
  const float m = 112 * 0.06f, w = 3 * cw - 2 * m, h = 112 - 2 * m, s = w * 0.05f;
  expectFrame(layout->waveform, {16 + m + s, 16 + m - 0.075f * h, w - 2 * s, h});
  // The stacked radio block in column 4, rows 0 and 1.
  const float rh = 224.0f / 6.0f, b = std::min(0.35f * cw, 224.0f / 3.0f * 0.6f) * 0.6f;
  const float lw = 0.4f * cw, lh = 0.85f * rh, lx = 16 + 4 * cw + (cw - (lw + 8 + b)) / 2;
  const auto line = [&](int n) { return 16 + rh / 2 + rh * n * 0.9f; };
  expectFrame(layout->labels[0], {lx, line(0) - lh / 2, lw, lh});
  expectFrame(layout->buttons[1], {lx + lw + 8 - b / 2, line(1) - b / 2, b, b});
  expectFrame(layout->labels[3], {lx, line(4) - lh / 2, lw, lh}); // 12 on line 4
  expectFrame(layout->buttons[4], {lx + lw + 8 - b / 2, line(5) - b / 2, b, b});
}

TEST(EditorLayout, TheTallArrangementSplitsTheRadioGroups) {
  const auto layout = layoutFor(400, 600);
  ASSERT_TRUE(layout);
  ASSERT_EQ(layout->mode, 1);
  const float cw = 368.0f / 4, ch = 568.0f / 6, k = std::min(cw, ch) - 4;
  const float step = k / 3.5f, top = 16 + 2 * ch + (ch - k) / 2;
  const float b = std::min(0.35f * cw, (2 * ch / 3) * 0.6f) * 0.6f, lw = 0.4f * cw;
  const float lh = 0.85f * (2 * ch / 6), o = (cw - (lw + 8 + b)) / 2;
  expectFrame(layout->labels[2], {16 + 2 * cw + o, top + step * 2.5f - lh / 2, lw, lh}); // HP
  expectFrame(layout->labels[4], {16 + 3 * cw + o, top + step * 1.5f - lh / 2, lw, lh}); // 24
  expectFrame(layout->buttons[3],
              {16 + 3 * cw + o + lw + 8 - b / 2, top + step * 0.5f - b / 2, b, b}); // 12
}
