// The synthesiser editor's 19 knobs: names, parameter addresses, faces and reset positions.
#pragma once

#include "platform/audiounit/AUParameterTypes.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace quorvane::editor {

// In declaration order.
enum class QuorvaneKnob : std::size_t {
  shape,
  detune,
  spread,
  attack,
  decay,
  sustain,
  release,
  rate,
  motion,
  spacetime,
  frequency,
  resonance,
  drive,
  drift,
  echo,
  time,
  touch,
  boost,
  space,
};
inline constexpr std::size_t kKnobCount = 19;

struct KnobEntry {
  QuorvaneKnob knob;
  AUParameterAddress address;
  std::string_view underlay; // the artwork name of its face
  float resetPosition;       // the position of the parameter's default
};

// By QuorvaneKnob.
inline constexpr std::array<KnobEntry, kKnobCount> kKnobTable{{
    {QuorvaneKnob::shape, 0, "ShapeUnderlay", 0.5f},
    {QuorvaneKnob::detune, 1, "DetuneUnderlay", 0.0f},
    {QuorvaneKnob::spread, 2, "SpreadUnderlay", 0.0f},
    {QuorvaneKnob::attack, 3, "AttackUnderlay", 0.16251223f}, // 5 ms
    {QuorvaneKnob::decay, 4, "DecayUnderlay", 0.44247311f},   // 80 ms
    {QuorvaneKnob::sustain, 5, "SustainUnderlay", 0.4f},
    {QuorvaneKnob::release, 6, "ReleaseUnderlay", 0.55752695f}, // 250 ms
    {QuorvaneKnob::rate, 7, "RateUnderlay", 0.43458799f},       // 1 Hz
    {QuorvaneKnob::motion, 8, "MotionUnderlay", 0.0f},
    {QuorvaneKnob::spacetime, 9, "SpacetimeUnderlay", 0.0f},
    {QuorvaneKnob::frequency, 11, "FrequencyUnderlay", 1.0f},
    {QuorvaneKnob::resonance, 12, "ResonanceUnderlay", 0.0f},
    {QuorvaneKnob::drive, 10, "DriveUnderlay", 0.0f}, // gain 1
    {QuorvaneKnob::drift, 13, "DriftUnderlay", 0.0f},
    {QuorvaneKnob::echo, 14, "EchoUnderlay", 0.0f},
    {QuorvaneKnob::time, 18, "TimeUnderlay", 0.0f},
    {QuorvaneKnob::touch, 17, "TouchUnderlay", 0.0f},
    {QuorvaneKnob::boost, 19, "BoostUnderlay", 0.0f},
    {QuorvaneKnob::space, 20, "SpaceUnderlay", 0.0f},
}};

constexpr const KnobEntry& specOf(QuorvaneKnob knob) noexcept {
  return kKnobTable[static_cast<std::size_t>(knob)];
}

// The knob that drives a parameter address, if any (15 and 16 have none: the radio groups).
constexpr std::optional<QuorvaneKnob> knobForAddress(AUParameterAddress address) noexcept {
  for (const auto& entry : kKnobTable)
    if (entry.address == address)
      return entry.knob;
  return std::nullopt;
}

inline constexpr AUParameterAddress kShapeAddress = 0;
inline constexpr AUParameterAddress kRowSpreadAddress = 2;
inline constexpr AUParameterAddress kFilterTypeAddress = 15;
inline constexpr AUParameterAddress kFilterRolloffAddress = 16;
inline constexpr AUParameterAddress kParameterCount = 21;

} // namespace quorvane::editor
