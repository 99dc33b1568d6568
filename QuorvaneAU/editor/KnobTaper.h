// How the synthesiser editor's knob positions (0 to 1) map onto parameter values, and back.
#pragma once

#include "platform/audiounit/AUParameterTypes.h"

namespace quorvane::editor {

enum class Taper {
  linear, // p = x
  time,   // 1 ms to 20 s: p = 0.001 * 20000^x (attack, decay, release)
  rate,   // 0.1 to 20 Hz: p = 0.1 * 200^x (LFO rate)
  gain,   // 1 to 10: p = 10^x (drive)
};

// The taper of a parameter address; addresses above 21 count as 21 (linear).
Taper taperOf(AUParameterAddress address) noexcept;

// The parameter value of knob position x. The curved tapers clamp x to 0 ... 1 first; the
// linear one passes it through.
float valueOfPosition(AUParameterAddress address, float x) noexcept;

// The knob position of parameter value p: the inverse, with values below the range giving 0
// and above it 1 (the curved tapers); the linear one passes p through. NaN stays NaN.
float positionOfValue(AUParameterAddress address, float p) noexcept;

} // namespace quorvane::editor
