// Where the generator editor's two pop-ups and six knobs go for a view of a given size.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>
#include <cstddef>
#include <optional>

namespace pallix::editor {

// In the order of the knob table (and of the view's children).
enum class PallixKnob : std::size_t {
  embroidery,
  easiness,
  etiquette,
  exotica,
  emotion,
  evolution
};
inline constexpr std::size_t kKnobCount = 6;

struct PallixEditorLayout {
  static constexpr float kMargin = 16.0f;
  static constexpr float kKnobAreaTop = 60.0f;
  static constexpr float kPopupHeight = 28.0f;

  bool wide = true; // 3 columns × 2 rows; otherwise 2 × 3
  int rows = 2, columns = 3;
  float cellWidth = 0, cellHeight = 0, k = 0;
  juce::Rectangle<float> rootPopup, modePopup;
  std::array<juce::Rectangle<float>, kKnobCount> knobs; // by PallixKnob
};

// The frames of every control, or none unless both sides are above 0.
std::optional<PallixEditorLayout> layoutFor(float width, float height);

} // namespace pallix::editor
