// The synthesiser's parameters: one row each, the source of every range, default, name, unit
// and taper that the kernel, the unit, the editor and the plug-ins use.
#pragma once

#include "platform/foundation/ParameterTable.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace quorvane::dsp {

// The numbers are the addresses hosts automate and store: they never change.
enum class QuorvaneParameter : std::uint64_t {
  shape = 0,
  detuneSpread = 1,
  rowSpread = 2,
  attack = 3,
  decay = 4,
  sustain = 5,
  release = 6,
  rate = 7,
  motion = 8,
  spacetime = 9,
  drive = 10,
  frequency = 11,
  resonance = 12,
  drift = 13,
  echo = 14,
  filterType = 15,
  filterRolloff = 16,
  aftertouchDepth = 17,
  echoTime = 18,
  boost = 19,
  space = 20,
  bendRange = 21, // the last
};

constexpr std::uint64_t address(QuorvaneParameter p) noexcept {
  return static_cast<std::uint64_t>(p);
}

inline constexpr std::uint64_t kQuorvaneParameterCount = address(QuorvaneParameter::bendRange) + 1;

inline constexpr std::array<std::string_view, 3> kFilterTypeNames{"LP", "BP", "HP"};
inline constexpr std::array<std::string_view, 2> kFilterRolloffNames{"12", "24"};
// Pitch bend's reach each way, in whole semitones.
inline constexpr std::array<std::string_view, 24> kBendRangeNames{
    "\u00b11",  "\u00b12",  "\u00b13",  "\u00b14",  "\u00b15",  "\u00b16",  "\u00b17",  "\u00b18",
    "\u00b19",  "\u00b110", "\u00b111", "\u00b112", "\u00b113", "\u00b114", "\u00b115", "\u00b116",
    "\u00b117", "\u00b118", "\u00b119", "\u00b120", "\u00b121", "\u00b122", "\u00b123", "\u00b124"};

namespace table {
using enum QuorvaneParameter;
using enum foundation::ParameterUnit;
using enum foundation::ParameterTaper;
using Row = foundation::ParameterRow;

// The filter's cutoff is normalised over 20 Hz … 20 kHz; its rolloff names count decibels.
inline constexpr foundation::ParameterReading kCutoff{hertz, 20, 20000};
inline constexpr foundation::ParameterReading kDecibels{.suffix = "dB"};
inline constexpr foundation::ParameterReading kSemitones{.suffix = "st"};

// By address.
inline constexpr std::array<Row, kQuorvaneParameterCount> kRows{{
    // address, identifier, name, min, max, default, unit, taper, value names[, precision,
    // ramps, reading]
    {address(shape), "shape", "Shape", 0, 1, 0.5f, generic, linear, {}},
    {address(detuneSpread), "detuneSpread", "Detune", 0, 1, 0, generic, linear, {}},
    {address(rowSpread), "rowSpread", "Row Spread", 0, 1, 0, generic, linear, {}},
    {address(attack), "attack", "Attack", 0.001f, 20, 0.005f, seconds, logarithmic, {}},
    {address(decay), "decay", "Decay", 0.001f, 20, 0.08f, seconds, logarithmic, {}},
    {address(sustain), "sustain", "Sustain", 0, 1, 0.4f, generic, linear, {}},
    {address(release), "release", "Release", 0.001f, 20, 0.25f, seconds, logarithmic, {}},
    {address(rate), "rate", "Rate", 0.1f, 20, 1, hertz, logarithmic, {}},
    {address(motion), "motion", "Motion", 0, 1, 0, generic, linear, {}},
    {address(spacetime), "spacetime", "Spacetime", 0, 1, 0, generic, linear, {}},
    {address(drive), "drive", "Drive", 1, 10, 1, generic, logarithmic, {}},
    {address(frequency), "frequency", "Frequency", 0, 1, 1, generic, linear, {}, 3, false, kCutoff},
    {address(resonance), "resonance", "Resonance", 0, 1, 0, generic, linear, {}},
    {address(drift), "drift", "Drift", 0, 1, 0, generic, linear, {}},
    {address(echo), "echo", "Echo", 0, 1, 0, generic, linear, {}},
    {address(filterType), "filterType", "Filter Type", 0, 2, 0, indexed, linear, kFilterTypeNames},
    {address(filterRolloff), "filterRolloff", "Filter Rolloff", 0, 1, 0, indexed, linear,
     kFilterRolloffNames, 3, false, kDecibels},
    {address(aftertouchDepth), "aftertouchDepth", "Aftertouch Depth", 0, 1, 0, generic, linear, {}},
    {address(echoTime), "echoTime", "Echo Time", 0, 1, 0, generic, linear, {}, 3, false, {seconds}},
    {address(boost), "boost", "Boost", 0, 1, 0, generic, linear, {}},
    {address(space), "space", "Space", 0, 1, 0, generic, linear, {}},
    // After the design's own: a state without it plays with ±2, as before it existed.
    {address(bendRange), "bendRange", "Bend Range", 1, 24, 2, indexed, linear, kBendRangeNames, 3,
     false, kSemitones},
}};
static_assert(foundation::isSoundTable(kRows, true));
} // namespace table

inline constexpr const auto& kQuorvaneParameters = table::kRows;

constexpr const foundation::ParameterRow& rowOf(QuorvaneParameter p) noexcept {
  return kQuorvaneParameters[address(p)];
}

} // namespace quorvane::dsp
