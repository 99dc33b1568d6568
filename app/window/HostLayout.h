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
// height. The keyboard's proportions are PianoKeyboardView's.
HostLayout layoutHost(double width, double height, double tempoLabelHeight) noexcept;

} // namespace app
