// Port events into the mirror, the mirror's other changes out to the ports.
#include "plugins/lv2/ui/PortMirror.h"

#include <cmath>
#include <cstring>

namespace plugins::lv2 {

PortMirror::PortMirror(const PluginDefinition& definition, std::shared_ptr<AUAudioUnit> unit,
                       Host host)
    : definition_(definition), unit_(std::move(unit)), host_(host), tree_(unit_->parameterTree()),
      byPort_(definition.parameters.size()) {
  if (!tree_)
    return;
  for (std::uint32_t port = 0; port < byPort_.size(); ++port)
    byPort_[port] = tree_->parameterWithAddress(port);
  token_ = tree_->tokenByAddingParameterAutomationObserver(
      [this](AUParameterAddress address, AUValue value, AUParameterAutomationEventType type) {
        unitChanged(address, value, type);
      });
}

PortMirror::~PortMirror() {
  if (tree_ && token_ != kAUNoObserverToken)
    tree_->removeParameterObserver(token_);
}

AUParameter* PortMirror::parameter(std::uint32_t port) const noexcept {
  return port < byPort_.size() ? byPort_[port].get() : nullptr;
}

void PortMirror::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                           const void* buffer) {
  AUParameter* target = parameter(port);
  const foundation::ParameterRow* row = definition_.row(port);
  if (!target || !row || format != 0 || size != sizeof(float) || !buffer)
    return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  if (std::isfinite(value))
    target->setValue(foundation::withinRange(*row, value), token_);
}

void PortMirror::unitChanged(AUParameterAddress address, AUValue value,
                             AUParameterAutomationEventType type) {
  if (address >= byPort_.size())
    return;
  const auto port = static_cast<std::uint32_t>(address);
  switch (type) {
  case AUParameterAutomationEventType::value:
    host_.write(host_.controller, port, sizeof value, 0, &value);
    break;
  case AUParameterAutomationEventType::touch:
  case AUParameterAutomationEventType::release:
    if (host_.touch && host_.touch->touch)
      host_.touch->touch(host_.touch->handle, port, type == AUParameterAutomationEventType::touch);
    break;
  }
}

} // namespace plugins::lv2
