// The on-screen piano keyboard: notes while a key is held, key pressure by dragging up, latch.
#pragma once

#include "platform/toolkit/FlippedView.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>

namespace app {

// Where the keys of a keyboard W × H points large sit (top-left origin, y down). Fields are
// zero but width and height when W or H is not positive. The host's layout uses it too, to
// put the pitch strip in the left margin and its controls right of the last key.
struct KeyboardGeometry {
  double width = 0, height = 0, gap = 0, leftMargin = 0, rightMargin = 0, whiteKeyWidth = 0,
         whiteKeyHeight = 0, blackKeyWidth = 0, blackKeyHeight = 0, topInset = 0;
  int whiteKeyCount = 0;

  static KeyboardGeometry compute(double width, double height) noexcept;

  // The left edge of white key i.
  double whiteKeyX(int i) const noexcept { return leftMargin + (whiteKeyWidth + gap) * i; }
  // Semitones above the leftmost C of white key i.
  static int whiteKeyOffset(int i) noexcept;
  // A black key sits between white keys i and i + 1 (its offset is white key i's plus 1).
  bool hasBlackKeyAfter(int i) const noexcept;
  // The black key's rectangle after white key i.
  juce::Rectangle<double> blackKeyRect(int i) const noexcept;
  // The offset of the key under p, black keys first; nothing between or outside the keys.
  std::optional<int> hitTest(juce::Point<double> p) const noexcept;
  // The right edge of the last white key.
  double keysEnd() const noexcept;
};

// Reports note-on, note-off and polyphonic key pressure through its callbacks; knows nothing
// of MIDI transport. A press keeps its key wherever the pointer goes (no glissando). With HOLD,
// a fresh click latches its note and a click without a drag on a latched note releases it.
// Threads: message thread; the callbacks run inside the mouse and control handlers.
class PianoKeyboardView : public toolkit::FlippedView {
public:
  // The press in progress.
  struct MouseState {
    int note = 0;
    double startY = 0;
    juce::Point<double> startPoint;
    std::uint8_t lastPressure = 0;
    bool dragged = false;
    bool wasAlreadyHeld = false;
  };

  static constexpr int kInitialBaseMIDI = 48;

  PianoKeyboardView();

  juce::Colour strokeColor = juce::Colours::white;
  juce::Colour pressedFillColor =
      juce::Colour::fromFloatRGBA(45.5f / 255.0f, 113.5f / 255.0f, 48.0f / 255.0f, 1.0f);
  std::function<void(int note)> onNoteOn;
  std::function<void(int note)> onNoteOff;
  std::function<void(int note, std::uint8_t pressure)> onPolyPressure;
  double dragThreshold = 4.0;
  // The height an upward drag of half of gives full pressure: the host's root view. Unset, the
  // parent's height, or this view's own without a parent.
  std::function<double()> pressureReferenceHeight;

  int baseMIDI() const noexcept { return baseMIDI_; }
  bool holdEnabled() const noexcept { return holdEnabled_; }
  const std::set<int>& heldNotes() const noexcept { return heldNotes_; }
  const std::optional<MouseState>& mouseState() const noexcept { return mouseState_; }
  KeyboardGeometry geometry() const noexcept;

  // The mouse handlers' work, at points in this view's coordinates.
  void pressAt(juce::Point<double> p);
  void dragTo(juce::Point<double> p);
  void release();

  // The HOLD button: switching it off releases every latched note but the pressed one.
  void setHoldEnabled(bool enabled);
  // The octave buttons; false when the limit stops them (nothing changes then).
  bool octaveDown();
  bool octaveUp();

  void releaseAll();
  void prepareForOctaveChange();
  void releaseLatchedNotes();

  // Pressure 0…127 for an upward distance d: d × 254 / the reference height, rounded.
  std::uint8_t pressureFor(double distance) const noexcept;

  void paint(juce::Graphics& g) override;
  void mouseDown(const juce::MouseEvent& event) override;
  void mouseDrag(const juce::MouseEvent& event) override;
  void mouseUp(const juce::MouseEvent& event) override;

private:
  void endPressureOfPress();
  void noteOff(int note);

  int baseMIDI_ = kInitialBaseMIDI;
  bool holdEnabled_ = false;
  std::optional<MouseState> mouseState_;
  std::set<int> heldNotes_;
};

} // namespace app
