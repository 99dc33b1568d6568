// One voice of the synthesiser's pool and its envelope stage: plain records the kernel stores
// inline.
#pragma once

#include <cmath>
#include <cstdint>

namespace quorvane::dsp {

enum class Stage : std::uint8_t { off = 0, attack = 1, decay = 2, sustain = 3, release = 4 };

struct Voice {
  Stage stage = Stage::off;
  float phase0 = 0.0f; // unison oscillator phases, in table samples [0, 2048)
  float phase1 = 0.0f;
  float phase2 = 0.0f;
  float phase3 = 0.0f;
  float phaseSub = 0.0f;
  float basePhaseInc = 0.0f; // table samples per output sample, drift included, bend excluded
  std::int32_t mipLevel = 0;
  float level = 0.0f;
  float releaseStartLevel = 0.0f;
  float velAmp = 0.0f;
  std::uint8_t noteNumber = 0;
  std::uint64_t startTime = 0; // larger is newer
  float aftertouch = 0.0f;
  float targetAftertouch = 0.0f;
  bool sustained = false; // its key is up, but the sustain pedal keeps it sounding

  bool isActive() const noexcept { return stage != Stage::off; }
  bool hasFiniteState() const noexcept {
    return std::isfinite(phase0 + phase1 + phase2 + phase3 + phaseSub + basePhaseInc + level +
                         releaseStartLevel + velAmp + aftertouch + targetAftertouch);
  }
};

} // namespace quorvane::dsp
