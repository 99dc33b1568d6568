// The control input ports, one per parameter, and the changes of their values.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/RenderEventList.h"
#include "plugins/lv2/PluginDefinition.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace plugins::lv2 {

// The host owns the values; each call hands the unit those that changed since the last call,
// held to the parameter's range. A value that is not a number (NaN, ±inf) leaves the
// parameter as it was.
// After a state that set the parameters itself (one the JUCE build saved: its plug-in had no
// control ports, so the session holds no values for ours and the host leaves them at their
// defaults), a port still at the value it had at instantiation says nothing of its parameter:
// the state's value sounds, until the port first holds another value, which then sounds as any
// change does. Hosts that set the defaults after restoring and those that set them before get
// the same sound, and a host slider moved, or automation, takes over for its parameter alone.
// Threads: construction on a control thread; connect, forget and holdUnmoved in the
// instantiation class; changes on the render thread, never allocating.
class ControlPorts {
public:
  // unit: new, its values those the description gives as the ports' defaults.
  ControlPorts(const PluginDefinition& definition, const AUAudioUnit& unit);

  std::size_t size() const noexcept { return rows_.size(); }
  void connect(std::uint32_t address, const float* port) noexcept;
  // The next call hands over every value, changed or not (a unit that starts again).
  void forget() noexcept;
  // Which ports still at their instantiation values leave the unit's values alone (bit a for
  // address a, below 64: those a state set) and which not (the others, whose values are the
  // ports'); every port hands its value over again at the next call.
  void holdUnmoved(std::uint64_t addresses) noexcept;
  // The ports that still leave their parameters to the state. Any thread.
  std::uint64_t held() const noexcept;
  // Adds a parameter event at sampleTime for each value changed since the last call.
  void addChanges(RenderEventList& events, AUEventSampleTime sampleTime) noexcept;

private:
  std::vector<const foundation::ParameterRow*> rows_; // by address
  std::vector<const float*> ports_;
  std::vector<float> sent_;    // NaN: nothing yet
  std::vector<float> initial_; // at instantiation
  // Still at its initial value since a state that set the unit's; read while a state is saved.
  std::vector<std::atomic<bool>> held_;
};

} // namespace plugins::lv2
