// Two numbers that tell sounds apart: loudness and brightness. The synthesiser seeds its noise
// per instance, so equal settings give close measures, not equal samples.
#pragma once

#include "tests/plugins/SweepChecks.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Different presets differ by far more than kOtherSound (random phases move the loudness of a
// short chord by up to about 30%).
inline constexpr double kOtherSound = 0.6;

struct SoundMeasure {
  double rms = 0;
  double brightness = 0; // rms of the first difference over rms: higher for brighter sounds

  static SoundMeasure of(const std::vector<float>& samples) {
    SoundMeasure m;
    double sum = 0, diff = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      sum += double(samples[i]) * samples[i];
      if (i > 0)
        diff += std::pow(double(samples[i]) - samples[i - 1], 2);
    }
    m.rms = samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
    m.brightness = sum > 0 ? std::sqrt(diff / sum) : 0;
    return m;
  }

  // Within tolerance (relative) in both measures.
  bool near(const SoundMeasure& other, double tolerance) const {
    const auto close = [tolerance](double a, double b) {
      return std::abs(a - b) <= tolerance * std::max(std::abs(a), std::abs(b));
    };
    return close(rms, other.rms) && close(brightness, other.brightness);
  }
};

// A C major chord held for half a second in blocks of blockSize, both channels measured.
inline SoundMeasure playChord(SweepHost& synth, int blockSize = 512) {
  const std::vector<TimedMidi> chord{
      {synth.now, {0x90, 60, 100}}, {synth.now, {0x90, 64, 100}}, {synth.now, {0x90, 67, 100}}};
  synth.recording = true;
  synth.recorded.clear();
  synth.runFor(0.5, blockSize, chord);
  return SoundMeasure::of(synth.recorded);
}
