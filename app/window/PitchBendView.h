// The pitch-bend strip: drag the divider to bend; on release it springs back to the middle.
#pragma once

#include "platform/toolkit/FlippedView.h"

#include <functional>

namespace app {

// Reports 14-bit bend values (0 at the bottom, 8192 in the middle, 16383 at the top) through
// onPitchBend, never the same value twice in a row. After a release the divider covers 18 % of
// the remaining distance to the middle every 1/60 s and ends exactly there.
// Threads: message thread; the spring-back ticks on the message thread's timer.
class PitchBendView : public toolkit::FlippedView, private juce::Timer {
public:
  static constexpr int kTicksPerSecond = 60;
  static constexpr double kReturnFraction = 0.18;
  static constexpr int kMaximumBend = 16383;

  PitchBendView();
  ~PitchBendView() override;

  juce::Colour strokeColor = juce::Colours::white;
  double strokeWidth = 2.5;
  std::function<void(int bend)> onPitchBend;

  bool isInteracting() const noexcept { return isInteracting_; }
  bool isSpringingBack() const noexcept { return isTimerRunning(); }
  double dividerY() const noexcept { return dividerY_; }
  int lastSentBend() const noexcept { return lastSentBend_; }
  // The bend value of a divider position in a strip height points high (height > 0).
  static int bendValue(double dividerY, double height) noexcept;

  // The mouse handlers' work, at a y in this view's coordinates.
  void pressAt(double y);
  void dragTo(double y);
  void release();
  // One step of the spring-back (what the timer runs).
  void tick();

  void paint(juce::Graphics& g) override;
  void resized() override;
  void mouseDown(const juce::MouseEvent& event) override;
  void mouseDrag(const juce::MouseEvent& event) override;
  void mouseUp(const juce::MouseEvent& event) override;

private:
  void timerCallback() override { tick(); }
  void sendBend();
  void placeDivider(double y);

  bool isInteracting_ = false;
  double dividerY_ = 0.0;
  int lastSentBend_ = -1;
  bool hasDividerBeenInitialized_ = false;
  double returnTarget_ = 0.0;
};

} // namespace app
