// The small preview of the oscillator waveform that Shape selects, with the four unison rows
// that Row Spread fans out behind it.
#pragma once

#include "QuorvaneAU/dsp/Wavetable.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace quorvane::editor {

// Draws from the band-limited table the voices play, at the level whose bandwidth suits the
// view's width. The editor sets the two values and asks for a redraw when one changed.
// Threads: message thread; the table is only read.
class WaveformView : public juce::Component {
public:
  static constexpr int kRowCount = 4;

  explicit WaveformView(const dsp::Wavetable& table);

  float shape = 0.5f;
  float rowSpread = 0.0f;

  // Sets a value; true (and a repaint is asked for) when it changed.
  bool setShape(float value);
  bool setRowSpread(float value);

  // The table level for a drawing W points wide: ceil(log2(2048 / W)), within 0 ... 10.
  static int levelForWidth(float width) noexcept;
  // Sample k of N across one cycle at fractional waveform position p (0 ... 7) of a level,
  // interpolated between neighbouring samples and neighbouring waveforms.
  float sampleAt(int level, float position, int k, int count) const noexcept;

  void paint(juce::Graphics& g) override;
  void resized() override { repaint(); }

private:
  const dsp::Wavetable& table_;
};

} // namespace quorvane::editor
