// The synthesiser editor's five arrangements: the rules every size keeps, and the grids and
// frames they give, as tests/data/views/layouts.txt records them.
#include "QuorvaneAU/editor/QuorvaneEditorLayout.h"
#include "tests/support/GoldenFile.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using namespace quorvane::editor;

TEST(EditorLayout, EverySizeKeepsItsControlsInsideAndApart) {
  for (float w : {40.0f, 97.0f, 250.0f, 480.0f, 720.0f, 1300.0f, 2400.0f})
    for (float h : {40.0f, 97.0f, 250.0f, 480.0f, 720.0f, 1300.0f}) {
      SCOPED_TRACE(testing::Message() << w << " x " << h);
      const auto l = layoutFor(w, h);
      ASSERT_TRUE(l);
      EXPECT_EQ(arrangementFor(3 * w, 3 * h), l->mode); // the aspect ratio alone chooses
      const juce::Rectangle<float> view(0, 0, w, h);
      // Knobs overlap nothing, radio buttons no other button; labels may meet (in the tall
      // arrangement at a tall size, and their own buttons).
      std::vector<juce::Rectangle<float>> frames{l->waveform};
      for (std::size_t i = 0; i < kRadioLineCount; ++i) {
        for (std::size_t j = 0; j < i; ++j)
          EXPECT_FALSE(l->buttons[i].intersects(l->buttons[j])) << i << " and " << j;
        frames.insert(frames.end(), {l->labels[i], l->buttons[i]});
      }
      float left = w, right = 0;
      for (std::size_t i = 0; i < kKnobCount; ++i) {
        ASSERT_TRUE(l->knobs[i]) << "knob " << i;
        const auto knob = *l->knobs[i];
        for (const auto& other : frames)
          EXPECT_FALSE(knob.intersects(other)) << "knob " << i;
        frames.push_back(knob);
        left = std::min(left, knob.getX());
        right = std::max(right, knob.getRight());
      }
      for (const auto& frame : frames)
        EXPECT_TRUE(view.contains(frame));
      EXPECT_NEAR(left, w - right, 1e-3f); // margins alike left and right
    }
}

// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose: every frame at a size of each arrangement and at the smallest, each arrangement's
// grid, and the sizes about the boundaries by their arrangement only.
TEST(EditorLayout, GridsAndFramesAsRecorded) {
  constexpr std::string_view kLines[] = {"lp", "bp", "hp", "12", "24"};
  const auto name = [](QuorvaneKnob knob) {
    const auto face = specOf(knob).underlay;
    return std::string(face.substr(0, face.find("Underlay")));
  };
  std::ostringstream out;
  std::set<int> gridsShown;
  for (const auto& [w, h] :
       {std::pair{720.0f, 480.0f}, {1000, 300}, {1300, 200}, {400, 600}, {300, 700}, {33, 33}}) {
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
  for (const auto& [w, h] : {std::pair{500.0f, 500.0f},
                             {100, 181},
                             {100, 180},
                             {250, 100},
                             {251, 100},
                             {500, 100},
                             {501, 100},
                             {720, 32},
                             {32, 480},
                             {-5, 480},
                             {0, 300},
                             {300, 0}}) {
    out << w << " x " << h << ": arrangement " << arrangementFor(w, h);
    const auto l = layoutFor(w, h);
    out << (l ? ", " + std::to_string(l->rows) + " x " + std::to_string(l->cols)
              : std::string(", nothing laid out"))
        << "\n";
  }
  golden::expectSection("quorvane-editor", out.str());
}
