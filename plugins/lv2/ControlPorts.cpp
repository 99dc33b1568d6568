// Control values into parameter events, only when they change and only when they are numbers.
#include "plugins/lv2/ControlPorts.h"

#include <cmath>
#include <limits>

namespace plugins::lv2 {

ControlPorts::ControlPorts(const PluginDefinition& definition, const AUAudioUnit& unit)
    : rows_(definition.parameters.size()), ports_(rows_.size(), nullptr),
      sent_(rows_.size(), std::numeric_limits<float>::quiet_NaN()),
      initial_(rows_.size(), std::numeric_limits<float>::quiet_NaN()), held_(rows_.size()) {
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

void ControlPorts::holdUnmoved(std::uint64_t addresses) noexcept {
  for (std::size_t address = 0; address < held_.size(); ++address)
    held_[address].store(address < 64 && (addresses >> address & 1), std::memory_order_relaxed);
  forget(); // what a state held before no longer stands in for a port
}

std::uint64_t ControlPorts::held() const noexcept {
  std::uint64_t addresses = 0;
  for (std::size_t address = 0; address < held_.size() && address < 64; ++address)
    if (held_[address].load(std::memory_order_relaxed))
      addresses |= std::uint64_t{1} << address;
  return addresses;
}

void ControlPorts::addChanges(RenderEventList& events, AUEventSampleTime sampleTime) noexcept {
  for (std::size_t address = 0; address < ports_.size(); ++address) {
    if (!ports_[address] || !rows_[address])
      continue;
    const float value = *ports_[address];
    if (!std::isfinite(value))
      continue;
    const float inRange = foundation::withinRange(*rows_[address], value);
    if (held_[address].load(std::memory_order_relaxed)) {
      if (inRange == initial_[address])
        continue;
      held_[address].store(false, std::memory_order_relaxed);
    }
    if (inRange == sent_[address])
      continue;
    if (events.addParameter(sampleTime, address, inRange))
      sent_[address] = inRange;
  }
}

} // namespace plugins::lv2
