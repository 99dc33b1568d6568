// The main window's frames.
#include "app/window/HostLayout.h"

#include "app/window/PianoKeyboardView.h"

#include <algorithm>

namespace app {

namespace {

// A frame given from the parent's bottom-left corner, in the parent's top-left coordinates.
LayoutRect fromBottom(double parentHeight, double x, double y, double width, double height) {
  return {x, parentHeight - y - height, width, height};
}

} // namespace

HostLayout layoutHost(double width, double height, double tempoLabelHeight) noexcept {
  constexpr double top = HostLayout::kTopBarHeight;
  constexpr double bottom = HostLayout::kBottomHeight;
  const double W = width, H = height;
  HostLayout l;
  l.topPanel = fromBottom(H, 0, H - top, W, top);
  // The transport group is centred; the pop-up ends 8 points before it at any width, rather
  // than running under it at the narrowest windows.
  const double x0 = (W - 162) / 2;
  l.presetPopup = fromBottom(top, 12, 6, std::clamp(x0 - 20, 0.0, 200.0), 24);
  l.helpButton = fromBottom(top, W - 38, 5, 26, 26);
  l.playButton = fromBottom(top, x0, 6, 36, 24);
  l.tempoLabel = fromBottom(top, x0 + 42, (top - tempoLabelHeight) / 2, 34, tempoLabelHeight);
  l.tempoField = fromBottom(top, x0 + 80, 6, 56, 24);
  l.tempoStepper = fromBottom(top, x0 + 140, 6, 22, 24);

  l.auContainerView = fromBottom(H, 0, bottom, W, H - bottom - top);
  l.keyboardView = fromBottom(H, 0, 0, W, bottom);

  const KeyboardGeometry g = KeyboardGeometry::compute(W, bottom);
  l.pitchBendView =
      fromBottom(H, (g.leftMargin - g.blackKeyWidth) / 2, bottom - g.topInset - g.whiteKeyHeight,
                 g.blackKeyWidth, g.whiteKeyHeight);
  const double keysEnd = g.keysEnd();
  l.rightControls = fromBottom(H, keysEnd, 0, std::max(W - keysEnd, 0.0), bottom);

  const double w = l.rightControls.width, h = l.rightControls.height;
  if (w > 0 && h > 0) {
    const double cw = std::max((0.6 * w - 4) / 2, 0.0);
    const double ch = std::max(0.3 * h - 8, 0.0);
    l.rightControlsPlaced = true;
    l.octLabel = {0, 3, w, 0.2 * h};
    l.leftChevron = {0.2 * w, 0.2 * h + 4, cw, ch};
    l.rightChevron = {0.2 * w + cw + 4, 0.2 * h + 4, cw, ch};
    l.holdLabel = {0, 0.5 * h + 3, w, 0.2 * h};
    l.holdButton = {0.2 * w, 0.7 * h + 4, 0.6 * w, ch};
  }
  return l;
}

} // namespace app
