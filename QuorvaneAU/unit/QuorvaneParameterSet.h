// The synthesiser's 21 parameters as the host sees them: names, ranges, units, flags, values.
#pragma once

#include "platform/audiounit/AUParameterTree.h"

#include <array>
#include <memory>
#include <string_view>
#include <vector>

struct QuorvaneParameterInfo {
  std::string_view name;
  AUValue min;
  AUValue max;
  AudioUnitParameterUnit unit;
  AudioUnitParameterOptions flags;
  AUValue initial;
  std::vector<std::string> valueStrings;
};

// Indexed by address; identifiers are kQuorvaneParameterIdentifiers. Any thread.
const std::array<QuorvaneParameterInfo, 21>& quorvaneParameterInfo();

// A flat tree of the 21 parameters in address order, each holding its initial value, with no
// callbacks installed yet. Main or control thread.
std::shared_ptr<AUParameterTree> makeQuorvaneParameterTree();
