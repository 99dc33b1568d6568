// The generator's parameter tree, from its table, and how its values read.
#include "PallixAU/unit/PallixParameterSet.h"

#include "PallixAU/engine/PallixParameters.h"
#include "platform/audiounit/ParameterTreeFromTable.h"

#include <cmath>
#include <string>

namespace pallix::unit {

namespace {

// Choices read as their names, truncated as the kernel truncates them; knobs as numbers.
std::string displayString(const AUParameter& parameter, std::optional<AUValue> value) {
  const AUValue v = value ? *value : parameter.value();
  const auto& strings = parameter.valueStrings();
  if (!strings.empty() && std::isfinite(v) && v >= 0 && v < AUValue(strings.size()))
    return strings[static_cast<std::size_t>(v)];
  const auto* row = foundation::rowAt(engine::kPallixParameters, parameter.address());
  return numberString(*row, v);
}

} // namespace

std::shared_ptr<AUParameterTree> makePallixParameterTree() {
  auto tree = makeParameterTree(engine::kPallixParameters);
  tree->setImplementorStringFromValueCallback(displayString);
  return tree;
}

} // namespace pallix::unit
