// The synthesiser editor's five arrangements and the frames they give.
#include "QuorvaneAU/editor/QuorvaneEditorLayout.h"
#include "tests/support/GoldenFile.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

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

TEST(EditorLayout, FramesOfTheWideAndTallArrangements) {
  const auto wide = layoutFor(720, 480), tall = layoutFor(400, 600);
  ASSERT_TRUE(wide && tall);
  ASSERT_EQ(tall->mode, 1);
  EXPECT_NEAR(wide->cw, 114.67f, 0.01f);
  EXPECT_FLOAT_EQ(wide->ch, 112.0f);
  EXPECT_FLOAT_EQ(wide->k, 108.0f);
  EXPECT_EQ(knobAt(2, 0, 3), QuorvaneKnob::frequency);
  const auto knob = [&](QuorvaneKnob k) { return *wide->knobs[static_cast<std::size_t>(k)]; };
  const struct {
    const char* what;
    juce::Rectangle<float> actual, expected;
  } cases[] = {
      {"frequency", knob(QuorvaneKnob::frequency), {363.33f, 18, 108, 108}},
      {"drive", knob(QuorvaneKnob::drive), {592.67f, 354, 108, 108}},
      // Three cells less a 6 % margin, 5 % in from each side, lifted by 7.5 % of its height.
      {"waveform", wide->waveform, {39.25f, 15.33f, 297.5f, 98.56f}},
      // The stacked radio block in column 4, rows 0 and 1: 12 on line 4.
      {"LP label", wide->labels[0], {493.03f, 18.8f, 45.87f, 31.73f}},
      {"BP button", wide->buttons[1], {534.85f, 56.23f, 24.08f, 24.08f}},
      {"12 label", wide->labels[3], {493.03f, 153.2f, 45.87f, 31.73f}},
      {"24 button", wide->buttons[4], {534.85f, 190.63f, 24.08f, 24.08f}},
      // The tall arrangement splits the radio groups between columns 2 and 3.
      {"tall HP label", tall->labels[2], {213.94f, 258.11f, 36.8f, 26.82f}},
      {"tall 24 label", tall->labels[4], {305.94f, 232.97f, 36.8f, 26.82f}},
      {"tall 12 button", tall->buttons[3], {341.08f, 211.58f, 19.32f, 19.32f}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    expectFrame(c.actual, c.expected);
  }
}

// Each arrangement's grid and, at one size of each and at the smallest, every frame; the
// boundary sizes by their arrangement only.
TEST(EditorLayout, GridsAndFramesAsRecorded) {
  constexpr std::string_view kLines[] = {"lp", "bp", "hp", "12", "24"};
  const auto name = [](QuorvaneKnob knob) {
    const auto face = specOf(knob).underlay;
    return std::string(face.substr(0, face.find("Underlay")));
  };
  const std::pair<float, float> framed[] = {{720, 480}, {1000, 300}, {1300, 200},
                                            {400, 600}, {300, 700},  {33, 33}};
  const std::pair<float, float> boundaries[] = {{500, 500}, {100, 181}, {100, 180}, {250, 100},
                                                {251, 100}, {500, 100}, {501, 100}, {720, 32},
                                                {32, 480},  {-5, 480},  {0, 300},   {300, 0}};
  std::ostringstream out;
  std::set<int> gridsShown;
  for (const auto& [w, h] : framed) {
    const auto l = layoutFor(w, h);
    out << w << " x " << h << ": arrangement " << l->mode << ", " << l->rows << " x " << l->cols
        << " cells of " << golden::number(l->cw, true) << " x " << golden::number(l->ch, true)
        << ", knobs " << golden::number(l->k, true) << "\n";
    if (gridsShown.insert(l->mode).second)
      for (int i = 0; i < l->rows; ++i) {
        out << " ";
        for (int j = 0; j < l->cols; ++j)
          out << " " << (knobAt(l->mode, i, j) ? name(*knobAt(l->mode, i, j)) : ".");
        out << "\n";
      }
    for (const KnobEntry& entry : kKnobTable)
      out << "  " << name(entry.knob) << " " << golden::frame(*l->knobs[std::size_t(entry.knob)])
          << "\n";
    out << "  waveform " << golden::frame(l->waveform) << "\n";
    for (std::size_t i = 0; i < kRadioLineCount; ++i)
      out << "  " << kLines[i] << " label " << golden::frame(l->labels[i]) << ", button "
          << golden::frame(l->buttons[i]) << "\n";
  }
  for (const auto& [w, h] : boundaries) {
    out << w << " x " << h << ": arrangement " << arrangementFor(w, h);
    if (const auto l = layoutFor(w, h))
      out << ", " << l->rows << " x " << l->cols << "\n";
    else
      out << ", nothing laid out\n";
  }
  golden::expectSection("quorvane-editor", out.str());
}
