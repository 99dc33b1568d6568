// The unit an LV2 UI's editor binds to: a copy of the plug-in's unit, never rendered, whose
// parameters mirror the control ports.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "plugins/lv2/PluginDefinition.h"

#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace plugins::lv2 {

// The UI reaches the plug-in through its ports alone, so it also works out of process. A port
// event sets the mirror's parameter with the mirror's own token: the editor hears it, the
// mirror does not write it back. Every other new value (the editor's, a preset the unit
// loads) goes to the host as that port's value, and a gesture on a parameter as ui:touch,
// where the host offers it. Port index and parameter address are one.
// Threads: the host's UI thread, which also sets every value on the mirror.
class PortMirror {
public:
  struct Host {
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch; // may be null
  };

  PortMirror(const PluginDefinition& definition, std::shared_ptr<AUAudioUnit> unit, Host host);
  ~PortMirror();
  PortMirror(const PortMirror&) = delete;
  PortMirror& operator=(const PortMirror&) = delete;

  const std::shared_ptr<AUAudioUnit>& unit() const noexcept { return unit_; }
  const Host& host() const noexcept { return host_; }
  // The mirror's parameter at a port, or null.
  AUParameter* parameter(std::uint32_t port) const noexcept;

  // What the host says a port holds. Only a float of a control port counts; a value that is
  // not a number changes nothing, others are held to the parameter's range.
  void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);

private:
  void unitChanged(AUParameterAddress address, AUValue value, AUParameterAutomationEventType type);

  const PluginDefinition& definition_;
  std::shared_ptr<AUAudioUnit> unit_;
  Host host_;
  std::shared_ptr<AUParameterTree> tree_;
  std::vector<std::shared_ptr<AUParameter>> byPort_;
  AUParameterObserverToken token_ = kAUNoObserverToken;
};

} // namespace plugins::lv2
