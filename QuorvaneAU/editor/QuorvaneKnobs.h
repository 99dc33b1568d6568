// The synthesiser editor's 19 knobs: names, the parameters they drive, and their faces.
#pragma once

#include "QuorvaneAU/dsp/QuorvaneParameters.h"
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
};

namespace knobs {
using P = dsp::QuorvaneParameter;
// By QuorvaneKnob.
inline constexpr std::array<KnobEntry, kKnobCount> kTable{{
    {QuorvaneKnob::shape, address(P::shape), "ShapeUnderlay"},
    {QuorvaneKnob::detune, address(P::detuneSpread), "DetuneUnderlay"},
    {QuorvaneKnob::spread, address(P::rowSpread), "SpreadUnderlay"},
    {QuorvaneKnob::attack, address(P::attack), "AttackUnderlay"},
    {QuorvaneKnob::decay, address(P::decay), "DecayUnderlay"},
    {QuorvaneKnob::sustain, address(P::sustain), "SustainUnderlay"},
    {QuorvaneKnob::release, address(P::release), "ReleaseUnderlay"},
    {QuorvaneKnob::rate, address(P::rate), "RateUnderlay"},
    {QuorvaneKnob::motion, address(P::motion), "MotionUnderlay"},
    {QuorvaneKnob::spacetime, address(P::spacetime), "SpacetimeUnderlay"},
    {QuorvaneKnob::frequency, address(P::frequency), "FrequencyUnderlay"},
    {QuorvaneKnob::resonance, address(P::resonance), "ResonanceUnderlay"},
    {QuorvaneKnob::drive, address(P::drive), "DriveUnderlay"},
    {QuorvaneKnob::drift, address(P::drift), "DriftUnderlay"},
    {QuorvaneKnob::echo, address(P::echo), "EchoUnderlay"},
    {QuorvaneKnob::time, address(P::echoTime), "TimeUnderlay"},
    {QuorvaneKnob::touch, address(P::aftertouchDepth), "TouchUnderlay"},
    {QuorvaneKnob::boost, address(P::boost), "BoostUnderlay"},
    {QuorvaneKnob::space, address(P::space), "SpaceUnderlay"},
}};
} // namespace knobs
inline constexpr const auto& kKnobTable = knobs::kTable;

constexpr const KnobEntry& specOf(QuorvaneKnob knob) noexcept {
  return kKnobTable[static_cast<std::size_t>(knob)];
}

// The row of the parameter a knob drives.
constexpr const foundation::ParameterRow& rowOf(const KnobEntry& entry) noexcept {
  return dsp::kQuorvaneParameters[entry.address];
}

// The knob that drives a parameter address, if any (15 and 16 have none: the radio groups).
constexpr std::optional<QuorvaneKnob> knobForAddress(AUParameterAddress address) noexcept {
  for (const auto& entry : kKnobTable)
    if (entry.address == address)
      return entry.knob;
  return std::nullopt;
}

inline constexpr AUParameterAddress kShapeAddress = address(dsp::QuorvaneParameter::shape);
inline constexpr AUParameterAddress kRowSpreadAddress = address(dsp::QuorvaneParameter::rowSpread);
inline constexpr AUParameterAddress kFilterTypeAddress =
    address(dsp::QuorvaneParameter::filterType);
inline constexpr AUParameterAddress kFilterRolloffAddress =
    address(dsp::QuorvaneParameter::filterRolloff);
inline constexpr AUParameterAddress kBendRangeAddress = address(dsp::QuorvaneParameter::bendRange);
inline constexpr AUParameterAddress kParameterCount = dsp::kQuorvaneParameterCount;

} // namespace quorvane::editor
