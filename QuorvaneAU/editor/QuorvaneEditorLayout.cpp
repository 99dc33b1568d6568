// The synthesiser editor's arrangements and the frames they give.
#include "QuorvaneAU/editor/QuorvaneEditorLayout.h"

#include <algorithm>

namespace quorvane::editor {

namespace {

using K = QuorvaneKnob;
constexpr std::optional<QuorvaneKnob> _ = std::nullopt;

struct Arrangement {
  int rows, cols;
  std::array<std::optional<QuorvaneKnob>, 24> cells; // row after row
};

// Each arrangement holds the same 19 knobs; the first three cells of row 0 (the waveform) and
// the radio block's cells stay empty.
// clang-format off
constexpr std::array<Arrangement, 5> kArrangements{{
    {8, 3, {_, _, _,
            K::shape, K::detune, K::spread,
            K::frequency, _, K::touch,
            K::resonance, _, K::space,
            K::attack, K::rate, K::echo,
            K::decay, K::motion, K::time,
            K::sustain, K::spacetime, K::boost,
            K::release, K::drift, K::drive}},
    {6, 4, {_, _, _, K::touch,
            K::shape, K::detune, K::spread, K::space,
            K::frequency, K::resonance, _, _,
            K::attack, K::decay, K::sustain, K::release,
            K::rate, K::motion, K::spacetime, K::drift,
            K::echo, K::time, K::boost, K::drive}},
    {4, 6, {_, _, _, K::frequency, _, K::touch,
            K::shape, K::detune, K::spread, K::resonance, _, K::space,
            K::attack, K::decay, K::sustain, K::release, K::echo, K::boost,
            K::rate, K::motion, K::spacetime, K::drift, K::time, K::drive}},
    {3, 8, {_, _, _, K::frequency, _, K::touch, K::echo, K::boost,
            K::shape, K::detune, K::spread, K::resonance, _, K::space, K::time, K::drive,
            K::attack, K::decay, K::sustain, K::release, K::rate, K::motion, K::spacetime,
            K::drift}},
    {2, 12, {_, _, _, K::frequency, _, K::attack, K::decay, K::sustain, K::release, K::echo,
             K::touch, K::boost,
             K::shape, K::detune, K::spread, K::resonance, _, K::rate, K::motion, K::spacetime,
             K::drift, K::time, K::space, K::drive}},
}};
// clang-format on

// The radio labels and buttons stacked in one column two rows high, corner (x0, y0).
void stackRadios(QuorvaneEditorLayout& layout, float x0, float y0) {
  const float cw = layout.cw, ch = layout.ch;
  const float rh = 2.0f * ch / 6.0f;
  const float b = std::min(0.35f * cw, (2.0f * ch / 3.0f) * 0.6f) * 0.6f;
  const float lw = 0.4f * cw, lh = 0.85f * rh;
  const float lx = x0 + (cw - (lw + 8.0f + b)) / 2.0f;
  const float bx = lx + lw + 8.0f - b / 2.0f;
  constexpr std::array<int, kRadioLineCount> kLines{0, 1, 2, 4, 5}; // line 3 stays empty
  for (std::size_t i = 0; i < kRadioLineCount; ++i) {
    const float yc = y0 + rh / 2.0f + rh * static_cast<float>(kLines[i]) * 0.9f;
    layout.labels[i] = {lx, yc - lh / 2.0f, lw, lh};
    layout.buttons[i] = {bx, yc - b / 2.0f, b, b};
  }
}

// The type group in cell (2, 2) and the slope group in cell (2, 3), for the tall arrangement.
void splitRadios(QuorvaneEditorLayout& layout) {
  constexpr float m = QuorvaneEditorLayout::kMargin;
  const float cw = layout.cw, ch = layout.ch, k = layout.k;
  const float rh = 2.0f * ch / 6.0f;
  const float b = std::min(0.35f * cw, (2.0f * ch / 3.0f) * 0.6f) * 0.6f;
  const float lw = 0.4f * cw, lh = 0.85f * rh;
  const float o = (cw - (lw + 8.0f + b)) / 2.0f;
  const float step = k / 3.5f;
  const float top = m + 2.0f * ch + (ch - k) / 2.0f;
  const auto place = [&](RadioLine line, float lx, float yc) {
    const auto i = static_cast<std::size_t>(line);
    layout.labels[i] = {lx, yc - lh / 2.0f, lw, lh};
    layout.buttons[i] = {lx + lw + 8.0f - b / 2.0f, yc - b / 2.0f, b, b};
  };
  const float typeX = m + 2.0f * cw + o, slopeX = m + 3.0f * cw + o;
  place(RadioLine::lp, typeX, top + step * 0.5f);
  place(RadioLine::bp, typeX, top + step * 1.5f);
  place(RadioLine::hp, typeX, top + step * 2.5f);
  place(RadioLine::slope12, slopeX, top + step * 0.5f);
  place(RadioLine::slope24, slopeX, top + step * 1.5f);
}

} // namespace

int arrangementFor(float width, float height) noexcept {
  if (width <= 0.0f || height <= 0.0f)
    return 2;
  if (height / width > 1.8f)
    return 0;
  if (width < height)
    return 1;
  const float r = width / height;
  if (r > 5.0f)
    return 4;
  if (r > 2.5f)
    return 3;
  return 2;
}

std::optional<QuorvaneKnob> knobAt(int mode, int row, int column) noexcept {
  if (mode < 0 || mode >= static_cast<int>(kArrangements.size()))
    return std::nullopt;
  const auto& arrangement = kArrangements[static_cast<std::size_t>(mode)];
  if (row < 0 || row >= arrangement.rows || column < 0 || column >= arrangement.cols)
    return std::nullopt;
  return arrangement.cells[static_cast<std::size_t>(row * arrangement.cols + column)];
}

std::optional<QuorvaneEditorLayout> layoutFor(float width, float height) {
  constexpr float m = QuorvaneEditorLayout::kMargin;
  if (!(width > QuorvaneEditorLayout::kMinimumSide && height > QuorvaneEditorLayout::kMinimumSide))
    return std::nullopt;
  QuorvaneEditorLayout layout;
  layout.mode = arrangementFor(width, height);
  const auto& arrangement = kArrangements[static_cast<std::size_t>(layout.mode)];
  layout.rows = arrangement.rows;
  layout.cols = arrangement.cols;
  layout.cw = (width - 2.0f * m) / static_cast<float>(layout.cols);
  layout.ch = (height - 2.0f * m) / static_cast<float>(layout.rows);
  const float c = std::min(layout.cw, layout.ch);
  layout.k = std::max(c - 4.0f, 0.0f);

  for (int i = 0; i < layout.rows; ++i)
    for (int j = 0; j < layout.cols; ++j)
      if (const auto knob = knobAt(layout.mode, i, j))
        layout.knobs[static_cast<std::size_t>(*knob)] = juce::Rectangle<float>(
            m + layout.cw * static_cast<float>(j) + (layout.cw - layout.k) / 2.0f,
            m + layout.ch * static_cast<float>(i) + (layout.ch - layout.k) / 2.0f, layout.k,
            layout.k);

  const float margin = c * 0.06f;
  const float w = 3.0f * layout.cw - 2.0f * margin;
  const float h = layout.ch - 2.0f * margin;
  const float s = w * 0.05f;
  layout.waveform = {m + margin + s, m + margin - 0.075f * h, w - 2.0f * s, h};

  if (layout.mode == 1)
    splitRadios(layout);
  else if (layout.mode == 0)
    stackRadios(layout, m + layout.cw, m + 2.0f * layout.ch);
  else
    stackRadios(layout, m + 4.0f * layout.cw, m);
  return layout;
}

} // namespace quorvane::editor
