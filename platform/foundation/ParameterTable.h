// A parameter's facts as its unit's table states them once, and the taper its controls use.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace foundation {

// Threads: constant tables and pure functions; any thread, the render thread included.

enum class ParameterUnit : std::uint8_t { generic, indexed, seconds, hertz };

// How a control's travel, 0 to 1, maps onto the range.
enum class ParameterTaper : std::uint8_t {
  linear,      // value = position, not clamped
  logarithmic, // value = min × (max / min)^position: a millisecond gets the travel of a second
};

// How a value reads to a musician where the platform unit alone does not say it.
struct ParameterReading {
  ParameterUnit unit = ParameterUnit::generic; // generic: read in the row's own unit
  // When high > low the value v (0 … 1) reads as low × (high / low)^v of that unit: a
  // normalised control over an exponential range.
  float low = 0.0f, high = 0.0f;
  std::string_view suffix = {}; // after a stepped value's name, with a space: "24 dB"
};

struct ParameterRow {
  std::uint64_t address; // what hosts automate and store: it never changes
  std::string_view identifier;
  std::string_view name;
  float min;
  float max;
  float defaultValue;
  ParameterUnit unit;
  ParameterTaper taper;
  std::span<const std::string_view> valueNames; // of the stepped values min, min + 1, …
  int precision = 3;                            // decimals of a displayed number
  bool canRamp = false;
  ParameterReading reading = {};
};

// The value at control position x. The logarithmic taper clamps x to 0 … 1 first.
inline float valueAtPosition(ParameterTaper taper, float min, float max, float x) noexcept {
  if (taper == ParameterTaper::linear)
    return x;
  return min * std::pow(max / min, std::clamp(x, 0.0f, 1.0f));
}

// The control position of value p, the inverse: below the range gives 0 and above it 1 for the
// logarithmic taper; NaN stays NaN.
inline float positionOfValue(ParameterTaper taper, float min, float max, float p) noexcept {
  if (taper == ParameterTaper::linear)
    return p;
  return p > max ? 1.0f : std::log(std::max(p, min) / min) / std::log(max / min);
}

inline float valueAtPosition(const ParameterRow& row, float x) noexcept {
  return valueAtPosition(row.taper, row.min, row.max, x);
}

inline float positionOfValue(const ParameterRow& row, float p) noexcept {
  return positionOfValue(row.taper, row.min, row.max, p);
}

// Where a control returns to when reset: its parameter's default.
// A value held to the row's range, as a host's control holds it; NaN passes through, for the
// reader to refuse as it does.
constexpr float withinRange(const ParameterRow& row, float value) noexcept {
  return value < row.min ? row.min : value > row.max ? row.max : value;
}

inline float defaultPosition(const ParameterRow& row) noexcept {
  return positionOfValue(row, row.defaultValue);
}

// Every address below N once (in row order when asked), ranges that hold their defaults, one
// name per step, distinct identifiers, exponential readings that start above 0.
template <std::size_t N>
constexpr bool isSoundTable(const std::array<ParameterRow, N>& rows, bool addressOrder) noexcept {
  std::array<bool, N> seen{};
  for (std::size_t i = 0; i < N; ++i) {
    const ParameterRow& row = rows[i];
    if (row.address >= N || seen[row.address] || (addressOrder && row.address != i))
      return false;
    seen[row.address] = true;
    if (!(row.min < row.max) || row.defaultValue < row.min || row.defaultValue > row.max)
      return false;
    if (row.taper == ParameterTaper::logarithmic && !(row.min > 0.0f))
      return false;
    if (row.reading.high > row.reading.low && !(row.reading.low > 0.0f))
      return false;
    if (!row.valueNames.empty() && row.valueNames.size() != std::size_t(row.max - row.min) + 1)
      return false;
    for (std::size_t j = 0; j < i; ++j)
      if (rows[j].identifier == row.identifier)
        return false;
  }
  return true;
}

// The row of an address; rows may be in another order than their addresses.
template <std::size_t N>
constexpr const ParameterRow* rowAt(const std::array<ParameterRow, N>& rows,
                                    std::uint64_t address) noexcept {
  for (const ParameterRow& row : rows)
    if (row.address == address)
      return &row;
  return nullptr;
}

} // namespace foundation
