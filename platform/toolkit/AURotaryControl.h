// The knob of both editors: a still face and a pointer that turns with the value.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace toolkit {

// A square component showing two stacked images, the underlay (the face) and above it the
// overlay (the pointer), rotated about the centre from lowAngle at lowerBound to highAngle at
// upperBound (degrees, clockwise on screen, 0 = the overlay as drawn). It knows nothing of
// parameters; its owner sets the range, images and callbacks.
//
// Turning: a drag turns the pointer by (tx - ty) * 0.7071 / (width * 0.25) radians, tx and ty
// being the total movement since the drag began (so right or up raises the value), clamped to
// the angle range; Escape or losing the keyboard focus during a drag cancels it, restoring the
// value it started from. A double click writes resetValue. Extras: the mouse wheel and the
// keys turn it by steps (arrows 1 % of the range, Page Up and Down 10 %, Home and End to the
// ends), each step reported as a drag of its own, so a host records it as one gesture; the
// control takes the keyboard focus when clicked and shows it with a ring.
//
// Its value as text (valueText), in place of the name on the face, while the pointer is over it,
// during a drag and for a moment after a wheel or key turn. Ctrl+click, a right click or Enter
// opens a field holding that text: Enter hands what was typed to onTextEntered, which answers
// whether it could read it (the field stays open when not); Escape or leaving the field closes
// it with nothing changed.
//
// Images are asked of the providers at the component's size times the display scale (pixels),
// on every layout pass with a non-zero size and whenever the scale it is painted at changes.
// Threads: message thread.
class AURotaryControl : public juce::Component, private juce::Timer {
public:
  // Returns an image of width × height pixels.
  using ImageProvider = std::function<juce::Image(float width, float height)>;

  static constexpr float kSpeedFraction = 0.25f;
  static constexpr double kDragGain = 0.7071067811865476;
  // The change of one wheel notch or arrow key, as a fraction of the range.
  static constexpr float kStepFraction = 0.01f;
  static constexpr float kPageFraction = 0.1f;
  // How long the value stays shown after a wheel or key turn.
  static constexpr int kTurnShowMs = 1500;

  AURotaryControl();

  float lowerBound = 0.0f;
  float upperBound = 1.0f;
  float resetValue = 0.0f;
  ImageProvider underlayImageProvider;
  ImageProvider overlayImageProvider;
  float lowAngle = -160.0f;
  float highAngle = 160.0f;
  std::function<void()> onValueChanged;
  std::function<void()> onDragBegan;
  std::function<void()> onDragEnded;
  // The text of a value; without it no value is shown and no field opens.
  std::function<juce::String(float value)> valueText;
  // What was typed in the field; true when it was read (and applied).
  std::function<bool(const juce::String& text)> onTextEntered;

  float value() const noexcept { return value_; }
  // Clamps v to the bounds; a value equal to the current one, or not finite, changes nothing
  // and calls nothing. Otherwise stores it, turns the pointer and calls onValueChanged.
  void setValue(float v);

  // The pointer angle of a value, and the value of an angle (degrees).
  float angleOf(float v) const noexcept;
  float valueAtAngle(float degrees) const noexcept;
  float pointerAngle() const noexcept { return angleOf(value_); }

  // The drag as a gesture recogniser reports it; the mouse handlers call these.
  void dragBegan();
  void dragChanged(float tx, float ty);
  void dragEnded();
  void dragCancelled();
  void doubleClicked();
  bool isDragging() const noexcept { return dragging_; }

  // Whether the value is shown now, and showing it as if the pointer were over the control.
  bool showsValue() const noexcept;
  void setValueShown(bool shown);
  // The typed-value field: open with the value's text; accept as Enter does (false, and still
  // open, when onTextEntered could not read it); close without applying.
  void openValueField();
  bool isValueFieldOpen() const noexcept { return field_ && field_->isVisible(); }
  juce::TextEditor* valueField() noexcept { return field_.get(); }
  bool acceptValueField();
  void closeValueField();

  // The images shown, as last rendered, and the pixel scale they were rendered at.
  const juce::Image& underlayImage() const noexcept { return underlay_; }
  const juce::Image& overlayImage() const noexcept { return overlay_; }
  float imageScale() const noexcept { return imageScale_; }

  void paint(juce::Graphics& g) override;
  void resized() override;
  void mouseDown(const juce::MouseEvent& event) override;
  void mouseDrag(const juce::MouseEvent& event) override;
  void mouseUp(const juce::MouseEvent& event) override;
  void mouseDoubleClick(const juce::MouseEvent& event) override;
  void mouseWheelMove(const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel) override;
  bool keyPressed(const juce::KeyPress& key) override;
  void focusLost(FocusChangeType cause) override;
  void focusGained(FocusChangeType cause) override;
  void mouseEnter(const juce::MouseEvent& event) override;
  void mouseExit(const juce::MouseEvent& event) override;

private:
  void updateLayers(float scale);
  void step(float fraction);
  void turnTo(float value);
  void timerCallback() override;
  void paintValue(juce::Graphics& g);

  float value_ = 0.0f;
  float dragHome = 0.0f;
  bool dragging_ = false;
  bool ignoreRestOfDrag_ = false; // after a cancel, until the button is released
  bool hovered_ = false;
  bool keyboardFocused_ = false; // the focus came, or was used, by keys: the ring shows
  bool forcedShown_ = false;
  bool recentlyTurned_ = false;
  std::unique_ptr<juce::TextEditor> field_;
  float imageScale_ = 1.0f;
  juce::Image underlay_;
  juce::Image overlay_;
};

} // namespace toolkit
