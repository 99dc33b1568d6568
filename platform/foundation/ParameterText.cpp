// Parameter values as text, both ways.
#include "platform/foundation/ParameterText.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <system_error>

namespace foundation {

namespace {

ParameterUnit readingUnit(const ParameterRow& row) noexcept {
  return row.reading.unit != ParameterUnit::generic ? row.reading.unit : row.unit;
}

bool isExponential(const ParameterReading& reading) noexcept { return reading.high > reading.low; }

// A number at the start of text, as from_chars reads it (no locale) but with an optional '+';
// rest gets what follows it. Nothing unless the number is finite.
std::optional<double> leadingNumber(std::string_view text, std::string_view& rest) noexcept {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-')
    text.remove_prefix(1);
  double number = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || !std::isfinite(number))
    return std::nullopt;
  rest = text.substr(static_cast<std::size_t>(end - text.data()));
  return number;
}

// The number a text of ours starts with, to decide on what is shown rather than on the value.
double shownNumber(const std::string& text) noexcept {
  std::string_view rest;
  return leadingNumber(text, rest).value_or(0.0);
}

std::string fixed(double x, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, x);
  return text;
}

// Three significant digits, but never more than three decimals, so what rounds to nothing reads
// "0.00" (never "-0.00") rather than as a tail of zeros. The digits are chosen by what rounding
// shows, so 9.996 reads "10.0", not "10.00".
std::string threeDigits(double x) {
  for (int decimals = 3; decimals > 0; --decimals) {
    std::string text = fixed(x, decimals);
    const double shown = std::fabs(shownNumber(text));
    if (shown == 0.0)
      return "0.00";
    if (shown < std::pow(10.0, 3 - decimals))
      return text;
  }
  return fixed(x, 0);
}

// A quantity in the smaller of two units a thousand apart, unless it would show as 1000 or more.
std::string inUnits(double inSmall, std::string_view small, std::string_view large) {
  std::string text = threeDigits(inSmall);
  std::string_view unit = small;
  if (std::fabs(shownNumber(text)) >= 1000.0) {
    text = threeDigits(inSmall / 1000.0);
    unit = large;
  }
  return text.append(1, ' ').append(unit);
}

std::string_view trimmed(std::string_view text) noexcept {
  constexpr std::string_view space = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(space);
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

bool sameText(std::string_view a, std::string_view b) noexcept {
  const auto folded = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return folded(x) == folded(y); });
}

// The clamp is done in double so that no out-of-range double is narrowed to a float.
float heldTo(const ParameterRow& row, double value) noexcept {
  return static_cast<float>(std::clamp(value, double(row.min), double(row.max)));
}

std::optional<float> steppedValueFromText(const ParameterRow& row, std::string_view text) {
  const auto named = [&row](std::string_view candidate) -> std::optional<float> {
    for (std::size_t i = 0; i < row.valueNames.size(); ++i)
      if (sameText(candidate, row.valueNames[i]))
        return row.min + static_cast<float>(i);
    return std::nullopt;
  };
  if (auto value = named(text))
    return value;
  const std::string_view suffix = row.reading.suffix;
  if (!suffix.empty() && text.size() > suffix.size() &&
      sameText(text.substr(text.size() - suffix.size()), suffix))
    return named(trimmed(text.substr(0, text.size() - suffix.size())));
  std::string_view rest;
  const std::optional<double> number = leadingNumber(text, rest);
  if (!number || !rest.empty() || *number != std::trunc(*number))
    return std::nullopt;
  return heldTo(row, *number);
}

} // namespace

std::string displayText(const ParameterRow& row, float value) {
  if (!row.valueNames.empty()) {
    const int min = static_cast<int>(row.min);
    const int step =
        std::isfinite(value) ? truncateInto(value, min, static_cast<int>(row.max)) : min;
    const std::size_t index =
        std::min(static_cast<std::size_t>(step - min), row.valueNames.size() - 1);
    std::string text(row.valueNames[index]);
    if (!row.reading.suffix.empty())
      text.append(1, ' ').append(row.reading.suffix);
    return text;
  }
  const float held = std::isnan(value) ? row.min : withinRange(row, value);
  double quantity = held;
  if (const ParameterReading& reading = row.reading; isExponential(reading))
    quantity =
        reading.low * std::pow(double(reading.high) / reading.low, std::clamp(quantity, 0.0, 1.0));
  switch (readingUnit(row)) {
  case ParameterUnit::seconds:
    return inUnits(quantity * 1000.0, "ms", "s");
  case ParameterUnit::hertz:
    return inUnits(quantity, "Hz", "kHz");
  case ParameterUnit::generic:
  case ParameterUnit::indexed:
    break;
  }
  const std::string text = fixed(quantity, 2);
  return shownNumber(text) == 0.0 ? "0.00" : text;
}

std::optional<float> valueFromText(const ParameterRow& row, std::string_view text) {
  text = trimmed(text);
  if (!row.valueNames.empty())
    return steppedValueFromText(row, text);
  std::string_view rest;
  const std::optional<double> number = leadingNumber(text, rest);
  if (!number)
    return std::nullopt;
  const std::string_view unit = trimmed(rest);
  const ParameterReading& reading = row.reading;
  double quantity = *number;
  switch (readingUnit(row)) {
  case ParameterUnit::seconds:
    if (sameText(unit, "ms"))
      quantity /= 1000.0;
    else if (!unit.empty() && !sameText(unit, "s") && !sameText(unit, "sec"))
      return std::nullopt;
    break;
  case ParameterUnit::hertz:
    if (sameText(unit, "k") || sameText(unit, "khz"))
      quantity *= 1000.0;
    else if (!unit.empty() && !sameText(unit, "hz"))
      return std::nullopt;
    break;
  case ParameterUnit::generic:
  case ParameterUnit::indexed:
    // A percentage is of the value itself, so only a 0 … 1 range read as it is has one.
    if (unit == "%" && row.min == 0.0f && row.max == 1.0f && !isExponential(reading))
      return heldTo(row, quantity / 100.0);
    if (!unit.empty())
      return std::nullopt;
    break;
  }
  if (isExponential(reading)) {
    const double low = reading.low, high = reading.high;
    quantity = std::log(std::clamp(quantity, low, high) / low) / std::log(high / low);
  }
  return heldTo(row, quantity);
}

} // namespace foundation
