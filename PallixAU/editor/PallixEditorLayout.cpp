// The generator editor's two arrangements.
#include "PallixAU/editor/PallixEditorLayout.h"

#include <algorithm>
#include <utility>

namespace pallix::editor {

namespace {

// (row, column) of each knob, wide and tall.
constexpr std::array<std::pair<int, int>, kKnobCount> kWideCells{
    {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}};
constexpr std::array<std::pair<int, int>, kKnobCount> kTallCells{
    {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}};

} // namespace

std::optional<PallixEditorLayout> layoutFor(float width, float height) {
  constexpr float m = PallixEditorLayout::kMargin;
  constexpr float top = PallixEditorLayout::kKnobAreaTop;
  if (!(width > 0.0f && height > 0.0f))
    return std::nullopt;
  PallixEditorLayout layout;
  const float cw = width - 2.0f * m;
  const float pw = std::max((cw - 8.0f) / 2.0f, 0.0f);
  layout.rootPopup = {m, m, pw, PallixEditorLayout::kPopupHeight};
  layout.modePopup = {m + pw + 8.0f, m, pw, PallixEditorLayout::kPopupHeight};

  const float rawHeight = height - m - top;
  const float ah = std::max(rawHeight, 0.0f);
  layout.wide = ah < cw || (rawHeight < 0.0f && cw > 0.0f);
  layout.rows = layout.wide ? 2 : 3;
  layout.columns = layout.wide ? 3 : 2;
  layout.cellWidth = cw / static_cast<float>(layout.columns);
  layout.cellHeight = ah / static_cast<float>(layout.rows);
  layout.k = std::max(std::min(layout.cellWidth, layout.cellHeight) - 12.0f, 0.0f);
  const auto& cells = layout.wide ? kWideCells : kTallCells;
  for (std::size_t i = 0; i < kKnobCount; ++i) {
    const auto [row, column] = cells[i];
    layout.knobs[i] = {
        m + layout.cellWidth * static_cast<float>(column) + (layout.cellWidth - layout.k) / 2.0f,
        top + layout.cellHeight * static_cast<float>(row) + (layout.cellHeight - layout.k) / 2.0f,
        layout.k, layout.k};
  }
  return layout;
}

} // namespace pallix::editor
