// Where the synthesiser editor's controls go for a view of a given size: five arrangements
// of the same controls, chosen by the view's aspect ratio.
#pragma once

#include "QuorvaneAU/editor/QuorvaneKnobs.h"

#include <juce_graphics/juce_graphics.h>

#include <array>
#include <cstddef>
#include <optional>

namespace quorvane::editor {

// The two radio groups' lines, in the order their labels and buttons are kept.
enum class RadioLine : std::size_t { lp, bp, hp, slope12, slope24 };
inline constexpr std::size_t kRadioLineCount = 5;

struct QuorvaneEditorLayout {
  static constexpr float kMargin = 16.0f;
  // No layout at all while the view is this narrow or low.
  static constexpr float kMinimumSide = 32.0f;

  int mode = 2;
  int rows = 0, cols = 0;
  float cw = 0, ch = 0;                                                // cell size
  float k = 0;                                                         // knob size
  std::array<std::optional<juce::Rectangle<float>>, kKnobCount> knobs; // by QuorvaneKnob
  juce::Rectangle<float> waveform;
  std::array<juce::Rectangle<float>, kRadioLineCount> labels;  // by RadioLine
  std::array<juce::Rectangle<float>, kRadioLineCount> buttons; // by RadioLine
};

// The arrangement (0 to 4) of a W × H view: 0 very tall, 1 tall, 2 about 3:2, 3 wide, 4 very wide.
int arrangementFor(float width, float height) noexcept;

// The knob in a cell of an arrangement, or none for an empty cell (or a cell outside it).
std::optional<QuorvaneKnob> knobAt(int mode, int row, int column) noexcept;

// The frames of every control, or none while either side is 32 points or less.
std::optional<QuorvaneEditorLayout> layoutFor(float width, float height);

} // namespace quorvane::editor
