// The parameter values of a unit, in tree order, for the units' tests to compare.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"

#include <vector>

inline std::vector<AUValue> values(const AUAudioUnit& unit) {
  std::vector<AUValue> result;
  for (const auto& parameter : unit.parameterTree()->allParameters())
    result.push_back(parameter->value());
  return result;
}

// The values with one of them changed.
inline std::vector<AUValue> withValue(std::vector<AUValue> values, std::size_t i, AUValue value) {
  values[i] = value;
  return values;
}
