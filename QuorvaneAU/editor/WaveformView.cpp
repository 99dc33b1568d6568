// Drawing the waveform preview.
#include "QuorvaneAU/editor/WaveformView.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorvane::editor {

namespace {

const juce::Colour kBackground = juce::Colour::fromFloatRGBA(0.0f, 0.13333333f, 0.0f, 1.0f);
const juce::Colour kGrid = juce::Colour::fromFloatRGBA(0.0f, 0.26666667f, 0.0f, 1.0f);
const juce::Colour kRowCurve = juce::Colour::fromFloatRGBA(0.0f, 0.6f, 0.0f, 1.0f);
const juce::Colour kMainCurve = juce::Colour::fromFloatRGBA(0.2f, 0.93333333f, 0.2f, 1.0f);

struct Row {
  float waveformOffset;
  float verticalOffset; // a fraction of the height
};
constexpr std::array<Row, WaveformView::kRowCount> kRows{{
    {-1.0f, -0.4375f},
    {-1.0f / 3.0f, -0.3125f},
    {1.0f / 3.0f, 0.3125f},
    {1.0f, 0.4375f},
}};

bool storeIfChanged(float& field, float value) {
  if (field == value)
    return false;
  field = value;
  return true;
}

} // namespace

WaveformView::WaveformView(const dsp::Wavetable& table) : table_(table) { setOpaque(false); }

bool WaveformView::setShape(float value) {
  if (!storeIfChanged(shape, value))
    return false;
  repaint();
  return true;
}

bool WaveformView::setRowSpread(float value) {
  if (!storeIfChanged(rowSpread, value))
    return false;
  repaint();
  return true;
}

int WaveformView::levelForWidth(float width) noexcept {
  if (!(width > 0.0f))
    return dsp::Wavetable::kMaxLevel;
  const double level = std::ceil(std::log2(2048.0 / static_cast<double>(width)));
  return static_cast<int>(std::clamp(level, 0.0, static_cast<double>(dsp::Wavetable::kMaxLevel)));
}

float WaveformView::sampleAt(int level, float position, int k, int count) const noexcept {
  constexpr int n = dsp::Wavetable::kRowLength;
  const float q = std::min(static_cast<float>(k) / static_cast<float>(count - 1) * n, 2047.999f);
  const int i = static_cast<int>(q);
  const float fq = q - static_cast<float>(i);
  const int j = (i + 1) % n;
  const int w = static_cast<int>(position);
  const int u = std::min(w + 1, dsp::Wavetable::kRows - 1);
  const float fw = position - static_cast<float>(w);
  const float* base = table_.samples.data() + level * dsp::Wavetable::kLevelStride;
  const float a = base[w * n + i], b = base[w * n + j];
  const float c = base[u * n + i], d = base[u * n + j];
  const float lower = a + fq * (b - a);
  const float upper = c + fq * (d - c);
  return lower + fw * (upper - lower);
}

void WaveformView::paint(juce::Graphics& g) {
  const auto r = getLocalBounds().toFloat().reduced(0.5f);
  const float W = r.getWidth(), H = r.getHeight();
  const float x0 = r.getX(), my = r.getCentreY();
  juce::Path outline;
  outline.addRoundedRectangle(r, 0.1f * H);
  g.setColour(kBackground);
  g.fillPath(outline);

  {
    juce::Graphics::ScopedSaveState clip(g);
    g.reduceClipRegion(outline);

    juce::Path grid;
    for (int k = 1; k <= 7; ++k) {
      const float y = r.getY() + H * static_cast<float>(k) / 8.0f;
      grid.startNewSubPath(x0, y);
      grid.lineTo(r.getRight(), y);
    }
    for (int k = 1; k <= 15; ++k) {
      const float x = x0 + W * static_cast<float>(k) / 16.0f;
      grid.startNewSubPath(x, r.getY());
      grid.lineTo(x, r.getBottom());
    }
    g.setColour(kGrid);
    g.strokePath(grid, juce::PathStrokeType(1.0f));

    constexpr float kLastWaveform = static_cast<float>(dsp::Wavetable::kRows - 1);
    const float s = std::clamp(shape, 0.0f, 1.0f) * kLastWaveform;
    const float sp = std::clamp(rowSpread, 0.0f, 1.0f);
    const int level = levelForWidth(W);
    const int count = std::max(static_cast<int>(W), 2);
    const auto curve = [&](float position, float centre, float amplitude) {
      juce::Path path;
      for (int k = 0; k < count; ++k) {
        const float x = x0 + W * static_cast<float>(k) / static_cast<float>(count - 1);
        const float y = centre - amplitude * sampleAt(level, position, k, count);
        if (k == 0)
          path.startNewSubPath(x, y);
        else
          path.lineTo(x, y);
      }
      return path;
    };
    g.setColour(kRowCurve);
    for (const Row& row : kRows) {
      const float p = std::clamp(s + sp * 3.5f * row.waveformOffset, 0.0f, kLastWaveform);
      g.strokePath(curve(p, my + H * row.verticalOffset * sp, H * 0.5f * (1.0f - 0.875f * sp)),
                   juce::PathStrokeType(1.0f));
    }
    g.setColour(kMainCurve);
    g.strokePath(curve(s, my, H * 0.5f * (1.0f - 0.5f * sp)), juce::PathStrokeType(1.0f));
  }

  g.setColour(juce::Colours::white);
  g.strokePath(outline, juce::PathStrokeType(1.0f));
}

} // namespace quorvane::editor
