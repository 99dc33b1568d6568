// Control values into parameter events, only when they change and only when they are numbers.
#include "plugins/lv2/ControlPorts.h"

#include <cmath>
#include <limits>

namespace plugins::lv2 {

ControlPorts::ControlPorts(const PluginDefinition& definition, const AUAudioUnit& unit)
    : rows_(definition.parameters.size()), ports_(rows_.size(), nullptr),
      sent_(rows_.size(), std::numeric_limits<float>::quiet_NaN()),
      initial_(rows_.size(), std::numeric_limits<float>::quiet_NaN()), held_(rows_.size(), false) {
  const auto tree = unit.parameterTree();
  for (std::size_t address = 0; address < rows_.size(); ++address) {
    rows_[address] = definition.row(address);
    if (const auto parameter = tree ? tree->parameterWithAddress(address) : nullptr)
      initial_[address] = parameter->value();
  }
}

void ControlPorts::connect(std::uint32_t address, const float* port) noexcept {
  if (address < ports_.size())
    ports_[address] = port;
}

void ControlPorts::forget() noexcept {
  for (float& value : sent_)
    value = std::numeric_limits<float>::quiet_NaN();
}

void ControlPorts::holdUnmoved(bool hold) noexcept {
  held_.assign(held_.size(), hold);
  forget(); // what a state held before no longer stands in for a port
}

void ControlPorts::addChanges(RenderEventList& events, AUEventSampleTime sampleTime) noexcept {
  for (std::size_t address = 0; address < ports_.size(); ++address) {
    if (!ports_[address] || !rows_[address])
      continue;
    const float value = *ports_[address];
    if (!std::isfinite(value))
      continue;
    const float inRange = foundation::withinRange(*rows_[address], value);
    if (held_[address]) {
      if (inRange == initial_[address])
        continue;
      held_[address] = false;
    }
    if (inRange == sent_[address])
      continue;
    if (events.addParameter(sampleTime, address, inRange))
      sent_[address] = inRange;
  }
}

} // namespace plugins::lv2
