// The synthesiser's parameter addresses, the identifiers that name them in saved state, and
// the values they start at.
#pragma once

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
  space = 20, // the last
};

constexpr std::uint64_t address(QuorvaneParameter p) noexcept {
  return static_cast<std::uint64_t>(p);
}

inline constexpr std::uint64_t kQuorvaneParameterCount = address(QuorvaneParameter::space) + 1;

// Identifier of each address, in address order.
inline constexpr std::array<std::string_view, kQuorvaneParameterCount>
    kQuorvaneParameterIdentifiers = {
        "shape",     "detuneSpread", "rowSpread", "attack",     "decay",         "sustain",
        "release",   "rate",         "motion",    "spacetime",  "drive",         "frequency",
        "resonance", "drift",        "echo",      "filterType", "filterRolloff", "aftertouchDepth",
        "echoTime",  "boost",        "space",
};

// Each identifier sits at its own parameter's address.
static_assert([] {
  using enum QuorvaneParameter;
  const auto at = [](QuorvaneParameter p) { return kQuorvaneParameterIdentifiers[address(p)]; };
  return at(shape) == "shape" && at(detuneSpread) == "detuneSpread" &&
         at(rowSpread) == "rowSpread" && at(attack) == "attack" && at(decay) == "decay" &&
         at(sustain) == "sustain" && at(release) == "release" && at(rate) == "rate" &&
         at(motion) == "motion" && at(spacetime) == "spacetime" && at(drive) == "drive" &&
         at(frequency) == "frequency" && at(resonance) == "resonance" && at(drift) == "drift" &&
         at(echo) == "echo" && at(filterType) == "filterType" &&
         at(filterRolloff) == "filterRolloff" && at(aftertouchDepth) == "aftertouchDepth" &&
         at(echoTime) == "echoTime" && at(boost) == "boost" && at(space) == "space";
}());

// The values a parameter may take; the kernel keeps every value it is given within them.
struct ParameterRange {
  float min;
  float max;
};

constexpr ParameterRange parameterRange(QuorvaneParameter p) noexcept {
  switch (p) {
  case QuorvaneParameter::attack:
  case QuorvaneParameter::decay:
  case QuorvaneParameter::release:
    return {0.001f, 20.0f};
  case QuorvaneParameter::rate:
    return {0.1f, 20.0f};
  case QuorvaneParameter::drive:
    return {1.0f, 10.0f};
  case QuorvaneParameter::filterType:
    return {0.0f, 2.0f};
  default:
    return {0.0f, 1.0f};
  }
}

// The value a parameter holds in a new kernel and in a new unit's tree.
constexpr float initialValue(QuorvaneParameter p) noexcept {
  switch (p) {
  case QuorvaneParameter::shape:
    return 0.5f;
  case QuorvaneParameter::attack:
    return 0.005f;
  case QuorvaneParameter::decay:
    return 0.08f;
  case QuorvaneParameter::sustain:
    return 0.4f;
  case QuorvaneParameter::release:
    return 0.25f;
  case QuorvaneParameter::rate:
  case QuorvaneParameter::drive:
  case QuorvaneParameter::frequency:
    return 1.0f;
  default:
    return 0.0f;
  }
}

} // namespace quorvane::dsp
