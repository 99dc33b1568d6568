// The synthesiser's parameter addresses and the identifiers that name them in saved state.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

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
};

inline constexpr std::uint64_t kQuorvaneParameterCount = 21;

// Identifier of each address, in address order.
inline constexpr std::array<std::string_view, kQuorvaneParameterCount>
    kQuorvaneParameterIdentifiers = {
        "shape",     "detuneSpread", "rowSpread", "attack",     "decay",         "sustain",
        "release",   "rate",         "motion",    "spacetime",  "drive",         "frequency",
        "resonance", "drift",        "echo",      "filterType", "filterRolloff", "aftertouchDepth",
        "echoTime",  "boost",        "space",
};

constexpr std::uint64_t address(QuorvaneParameter p) noexcept {
  return static_cast<std::uint64_t>(p);
}

// The address of an identifier, or nothing for an unknown one.
std::optional<std::uint64_t> quorvaneParameterAddress(std::string_view identifier) noexcept;
