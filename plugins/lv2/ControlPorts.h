// The control input ports, one per parameter, and the changes of their values.
#pragma once

#include "platform/audiounit/RenderEventList.h"
#include "plugins/lv2/PluginDefinition.h"

#include <cstdint>
#include <vector>

namespace plugins::lv2 {

// The host owns the values; each call hands the unit those that changed since the last call,
// held to the parameter's range. A value that is not a number (NaN, ±inf) leaves the
// parameter as it was. Threads: construction on a control thread; connect and forget in the
// instantiation class; changes on the render thread, never allocating.
class ControlPorts {
public:
  explicit ControlPorts(const PluginDefinition& definition);

  std::size_t size() const noexcept { return rows_.size(); }
  void connect(std::uint32_t address, const float* port) noexcept;
  // The next call hands over every value, changed or not (a unit that starts again).
  void forget() noexcept;
  // Adds a parameter event at sampleTime for each value changed since the last call.
  void addChanges(RenderEventList& events, AUEventSampleTime sampleTime) noexcept;

private:
  std::vector<const foundation::ParameterRow*> rows_; // by address
  std::vector<const float*> ports_;
  std::vector<float> sent_; // NaN: nothing yet
};

} // namespace plugins::lv2
