// The synthesiser's parameter tree, from its table.
#include "QuorvaneAU/unit/QuorvaneParameterSet.h"

#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "platform/audiounit/ParameterTreeFromTable.h"

namespace quorvane::unit {

std::shared_ptr<AUParameterTree> makeQuorvaneParameterTree() {
  auto tree = makeParameterTree(dsp::kQuorvaneParameters);
  // Every value reads as a number, the stepped ones included.
  tree->setImplementorStringFromValueCallback(
      [](const AUParameter& parameter, std::optional<AUValue> value) {
        return numberString(dsp::kQuorvaneParameters[parameter.address()],
                            value ? *value : parameter.value());
      });
  return tree;
}

} // namespace quorvane::unit
