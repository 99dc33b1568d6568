// The on-screen keyboard's geometry, press rules and drawing.
#include "app/window/PianoKeyboardView.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace app {

namespace {

constexpr std::array<int, 7> kWhiteOffsets{0, 2, 4, 5, 7, 9, 11};
constexpr int kMinimumWhiteKeys = 8;
constexpr int kHighestNote = 127;
constexpr int kHighestScreenC = 120;

} // namespace

KeyboardGeometry KeyboardGeometry::compute(double width, double height) noexcept {
  KeyboardGeometry g;
  g.width = width;
  g.height = height;
  if (width <= 0 || height <= 0)
    return g;
  g.topInset = std::max(0.04 * height, 2.0);
  g.whiteKeyHeight = height - 2 * g.topInset;
  g.whiteKeyWidth = g.whiteKeyHeight * 0.5;
  g.gap = std::max(0.06 * g.whiteKeyWidth, 1.5);
  g.leftMargin = g.whiteKeyWidth * (width / height >= 8.0 ? 2.0 : 1.5);
  g.rightMargin = g.leftMargin;
  const double available = std::max(width - 2 * g.leftMargin, 0.0);
  g.whiteKeyCount = static_cast<int>((g.gap + available) / (g.whiteKeyWidth + g.gap));
  if (g.whiteKeyCount < kMinimumWhiteKeys) {
    g.whiteKeyCount = kMinimumWhiteKeys;
    g.whiteKeyWidth = std::max((available - 7 * g.gap) / 8, 1.0);
  }
  g.blackKeyWidth = 0.6 * g.whiteKeyWidth;
  g.blackKeyHeight = 0.62 * g.whiteKeyHeight;
  return g;
}

int KeyboardGeometry::whiteKeyOffset(int i) noexcept {
  return 12 * (i / 7) + kWhiteOffsets[static_cast<std::size_t>(i % 7)];
}

bool KeyboardGeometry::hasBlackKeyAfter(int i) const noexcept {
  return i >= 0 && i + 1 < whiteKeyCount && i % 7 != 2 && i % 7 != 6;
}

juce::Rectangle<double> KeyboardGeometry::blackKeyRect(int i) const noexcept {
  const double centre = whiteKeyX(i) + whiteKeyWidth + gap / 2;
  return {centre - blackKeyWidth / 2, topInset, blackKeyWidth, blackKeyHeight};
}

std::optional<int> KeyboardGeometry::hitTest(juce::Point<double> p) const noexcept {
  for (int i = 0; i + 1 < whiteKeyCount; ++i)
    if (hasBlackKeyAfter(i) && blackKeyRect(i).contains(p))
      return whiteKeyOffset(i) + 1;
  for (int i = 0; i < whiteKeyCount; ++i) {
    const juce::Rectangle<double> key{whiteKeyX(i) - gap / 2, topInset, whiteKeyWidth + gap,
                                      whiteKeyHeight};
    if (key.contains(p))
      return whiteKeyOffset(i);
  }
  return std::nullopt;
}

double KeyboardGeometry::keysEnd() const noexcept {
  return leftMargin + whiteKeyWidth * whiteKeyCount + gap * std::max(whiteKeyCount - 1, 0);
}

PianoKeyboardView::PianoKeyboardView() {
  setOpaque(false);
  setWantsKeyboardFocus(false);
  setMouseClickGrabsKeyboardFocus(false);
}

KeyboardGeometry PianoKeyboardView::geometry() const noexcept {
  return KeyboardGeometry::compute(getWidth(), getHeight());
}

std::uint8_t PianoKeyboardView::pressureFor(double distance) const noexcept {
  double h = getHeight();
  if (pressureReferenceHeight)
    h = pressureReferenceHeight();
  else if (const auto* parent = getParentComponent())
    h = parent->getHeight();
  if (!(h > 0))
    return 0;
  // std::round takes halves away from zero; the limit keeps the value a MIDI data byte.
  const double pressure = std::round(std::max(distance, 0.0) * 254.0 / h);
  return static_cast<std::uint8_t>(std::clamp(pressure, 0.0, 127.0));
}

void PianoKeyboardView::pressAt(juce::Point<double> p) {
  const auto offset = geometry().hitTest(p);
  if (!offset)
    return;
  const int note = baseMIDI_ + *offset;
  if (note < 0 || note > kHighestNote || mouseState_)
    return;
  bool wasAlreadyHeld = true;
  if (!heldNotes_.contains(note)) {
    heldNotes_.insert(note);
    if (onNoteOn)
      onNoteOn(note);
    wasAlreadyHeld = false;
  }
  mouseState_ = MouseState{note, p.y, p, 0, false, wasAlreadyHeld};
  repaint();
}

void PianoKeyboardView::dragTo(juce::Point<double> p) {
  if (!mouseState_)
    return;
  MouseState& state = *mouseState_;
  const double moved = std::max(std::abs(p.x - state.startPoint.x), std::abs(p.y - state.startY));
  state.dragged = state.dragged || moved > dragThreshold;
  const std::uint8_t pressure = pressureFor(std::max(state.startY - p.y, 0.0));
  if (pressure != state.lastPressure) {
    state.lastPressure = pressure;
    if (onPolyPressure)
      onPolyPressure(state.note, pressure);
  }
}

void PianoKeyboardView::release() {
  if (!mouseState_)
    return;
  const MouseState state = *mouseState_;
  mouseState_.reset();
  if (state.lastPressure != 0 && onPolyPressure)
    onPolyPressure(state.note, 0);
  if (!holdEnabled_ || (state.wasAlreadyHeld && !state.dragged))
    noteOff(state.note);
  repaint();
}

void PianoKeyboardView::noteOff(int note) {
  if (onNoteOff)
    onNoteOff(note);
  heldNotes_.erase(note);
}

void PianoKeyboardView::endPressureOfPress() {
  if (mouseState_ && mouseState_->lastPressure != 0 && onPolyPressure)
    onPolyPressure(mouseState_->note, 0);
  mouseState_.reset();
}

void PianoKeyboardView::releaseAll() {
  endPressureOfPress();
  const std::set<int> notes = heldNotes_;
  for (const int note : notes)
    if (onNoteOff)
      onNoteOff(note);
  heldNotes_.clear();
  repaint();
}

void PianoKeyboardView::prepareForOctaveChange() {
  if (!holdEnabled_) {
    releaseAll();
    return;
  }
  // Latched notes keep sounding; only the press in progress ends.
  endPressureOfPress();
  repaint();
}

void PianoKeyboardView::releaseLatchedNotes() {
  const std::optional<int> pressed =
      mouseState_ ? std::optional<int>(mouseState_->note) : std::nullopt;
  const std::set<int> notes = heldNotes_;
  for (const int note : notes)
    if (note != pressed && onNoteOff)
      onNoteOff(note);
  heldNotes_.clear();
  if (pressed && notes.contains(*pressed))
    heldNotes_.insert(*pressed);
  repaint();
}

void PianoKeyboardView::setHoldEnabled(bool enabled) {
  const bool wasOn = holdEnabled_;
  holdEnabled_ = enabled;
  if (wasOn && !enabled)
    releaseLatchedNotes();
}

bool PianoKeyboardView::octaveDown() {
  if (baseMIDI_ - 12 < 0)
    return false;
  prepareForOctaveChange();
  baseMIDI_ -= 12;
  repaint();
  return true;
}

bool PianoKeyboardView::octaveUp() {
  const int octaves = std::max(0, (geometry().whiteKeyCount - 1) / 7);
  if (baseMIDI_ + 12 > kHighestScreenC - 12 * octaves)
    return false;
  prepareForOctaveChange();
  baseMIDI_ += 12;
  repaint();
  return true;
}

void PianoKeyboardView::mouseDown(const juce::MouseEvent& event) {
  pressAt(event.position.toDouble());
}

void PianoKeyboardView::mouseDrag(const juce::MouseEvent& event) {
  dragTo(event.position.toDouble());
}

void PianoKeyboardView::mouseUp(const juce::MouseEvent&) { release(); }

void PianoKeyboardView::paint(juce::Graphics& g) {
  const KeyboardGeometry k = geometry();
  if (k.whiteKeyCount < 1)
    return;
  const juce::PathStrokeType stroke(static_cast<float>(k.gap), juce::PathStrokeType::mitered);
  const auto draw = [&](const juce::Path& path, int note) {
    if (heldNotes_.contains(note)) {
      g.setColour(pressedFillColor);
      g.fillPath(path);
    }
    g.setColour(strokeColor);
    g.strokePath(path, stroke);
  };
  const auto point = [](juce::Path& path, double x, double y, bool first = false) {
    if (first)
      path.startNewSubPath(static_cast<float>(x), static_cast<float>(y));
    else
      path.lineTo(static_cast<float>(x), static_cast<float>(y));
  };

  const double half = k.gap / 2;
  const double top = k.topInset + half;
  const double bottom = k.topInset + k.whiteKeyHeight - half;
  const double notchY = k.topInset + k.blackKeyHeight + 1.5 * k.gap;
  const double labelMargin = std::max(k.gap, 3.0);
  const juce::Font labelFont(static_cast<float>(std::max(0.14 * k.whiteKeyHeight, 9.0)));

  for (int i = 0; i < k.whiteKeyCount; ++i) {
    const double left = k.whiteKeyX(i) + half;
    const double right = k.whiteKeyX(i) + k.whiteKeyWidth - half;
    const bool blackLeft = k.hasBlackKeyAfter(i - 1);
    const bool blackRight = k.hasBlackKeyAfter(i);
    const double a = blackLeft ? k.blackKeyRect(i - 1).getRight() + 1.5 * k.gap : left;
    const double b = blackRight ? k.blackKeyRect(i).getX() - 1.5 * k.gap : right;
    juce::Path outline;
    point(outline, a, top, true);
    point(outline, b, top);
    if (blackRight) {
      point(outline, b, notchY);
      point(outline, right, notchY);
    }
    point(outline, right, bottom);
    point(outline, left, bottom);
    if (blackLeft) {
      point(outline, left, notchY);
      point(outline, a, notchY);
    }
    outline.closeSubPath();
    const int note = baseMIDI_ + KeyboardGeometry::whiteKeyOffset(i);
    draw(outline, note);

    if (i % 7 == 0) {
      g.setColour(strokeColor);
      g.setFont(labelFont);
      const float labelBottom = static_cast<float>(k.topInset + k.whiteKeyHeight - labelMargin);
      const float labelHeight = labelFont.getHeight();
      g.drawText("C" + juce::String(note / 12 - 1),
                 juce::Rectangle<float>(static_cast<float>(k.whiteKeyX(i) + labelMargin),
                                        labelBottom - labelHeight,
                                        static_cast<float>(k.whiteKeyWidth), labelHeight),
                 juce::Justification::bottomLeft, false);
    }
  }

  for (int i = 0; i + 1 < k.whiteKeyCount; ++i) {
    if (!k.hasBlackKeyAfter(i))
      continue;
    const auto rect = k.blackKeyRect(i).reduced(half).toFloat();
    juce::Path outline;
    outline.addRectangle(rect);
    draw(outline, baseMIDI_ + KeyboardGeometry::whiteKeyOffset(i) + 1);
  }
}

} // namespace app
