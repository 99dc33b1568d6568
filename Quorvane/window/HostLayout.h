// Where every view of the main window goes, for a given window size.
#pragma once

namespace app {

// A frame in its parent's coordinates, origin at the parent's top-left corner, y downward (as
// JUCE places components). The window's design gives frames from the bottom-left corner, y
// upward; layoutHost turns them over.
struct LayoutRect {
  double x = 0, y = 0, width = 0, height = 0;
  bool operator==(const LayoutRect&) const = default;
};

// The on-screen keyboard's proportions for a view of width × height (zero when either is not
// positive).
struct KeyboardGeometry {
  double width = 0, height = 0, gap = 0, leftMargin = 0, rightMargin = 0, whiteKeyWidth = 0,
         whiteKeyHeight = 0, blackKeyWidth = 0, blackKeyHeight = 0, topInset = 0;
  int whiteKeyCount = 0;
};
KeyboardGeometry keyboardGeometry(double width, double height) noexcept;

struct HostLayout {
  static constexpr double kTopBarHeight = 36;
  static constexpr double kBottomHeight = 96;

  // Children of the root view.
  LayoutRect topPanel, auContainerView, keyboardView, pitchBendView, rightControls;
  // Children of topPanel, in its coordinates.
  LayoutRect presetPopup, helpButton, playButton, tempoLabel, tempoField, tempoStepper;
  // Children of rightControls, in its coordinates; placed only when it has an area.
  bool rightControlsPlaced = false;
  LayoutRect octLabel, leftChevron, rightChevron, holdLabel, holdButton;
};

// The frames for a root view of width × height; tempoLabelHeight is the BPM label's natural
// height.
HostLayout layoutHost(double width, double height, double tempoLabelHeight) noexcept;

} // namespace app
