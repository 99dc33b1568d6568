// The synthesiser's parameters as the host sees them: names, ranges, units, flags, values.
#pragma once

#include "platform/audiounit/AUParameterTree.h"

#include <memory>

namespace quorvane::unit {

// A flat tree of the parameters in address order, each with its identifier and holding its
// initial value, with its display strings but no value callbacks installed yet. Main or control
// thread.
std::shared_ptr<AUParameterTree> makeQuorvaneParameterTree();

} // namespace quorvane::unit
