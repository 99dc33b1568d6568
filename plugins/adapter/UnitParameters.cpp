// Host parameters over the unit's tree, with changes passed each way without echo.
#include "plugins/adapter/UnitParameters.h"

#include <algorithm>

namespace plugins {

UnitParameters::UnitParameters(juce::AudioProcessor& processor,
                               std::shared_ptr<AUParameterTree> tree)
    : tree_(std::move(tree)) {
  if (!tree_)
    return;
  for (const auto& parameter : tree_->allParameters()) {
    auto hostParameter = std::make_unique<UnitParameter>(parameter);
    parameters_.push_back(hostParameter.get());
    byAddress_.emplace_back(parameter->address(), hostParameter.get());
    processor.addParameter(hostParameter.release());
  }
  std::stable_sort(byAddress_.begin(), byAddress_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  token_ = tree_->tokenByAddingParameterAutomationObserver(
      [this](AUParameterAddress address, AUValue value, AUParameterAutomationEventType type) {
        unitChanged(address, value, type);
      });
}

UnitParameters::~UnitParameters() {
  if (tree_ && token_ != kAUNoObserverToken)
    tree_->removeParameterObserver(token_);
}

void UnitParameters::addPendingEvents(RenderEventList& events,
                                      AUEventSampleTime sampleTime) noexcept {
  AUValue value = 0;
  for (UnitParameter* parameter : parameters_)
    if (parameter->takePendingValue(value))
      events.addParameter(sampleTime, parameter->unitParameter().address(), value);
}

void UnitParameters::applyPending() {
  AUValue value = 0;
  for (UnitParameter* parameter : parameters_)
    if (parameter->takePendingValue(value))
      parameter->unitParameter().setValue(value, token_);
}

void UnitParameters::dropPending() noexcept {
  AUValue value = 0;
  for (UnitParameter* parameter : parameters_)
    parameter->takePendingValue(value);
}

void UnitParameters::supersedeAnnounced() noexcept {
  for (UnitParameter* parameter : parameters_)
    parameter->supersedeAnnounced();
}

void UnitParameters::forgetSuperseded() noexcept {
  for (UnitParameter* parameter : parameters_)
    parameter->forgetSuperseded();
}

void UnitParameters::showHostChanges() {
  AUValue value = 0;
  for (UnitParameter* parameter : parameters_)
    if (parameter->takeHostChange(value))
      parameter->unitParameter().setValue(value, token_);
}

UnitParameter* UnitParameters::byAddress(AUParameterAddress address) const noexcept {
  const auto found =
      std::lower_bound(byAddress_.begin(), byAddress_.end(), address,
                       [](const auto& entry, AUParameterAddress key) { return entry.first < key; });
  return found != byAddress_.end() && found->first == address ? found->second : nullptr;
}

void UnitParameters::unitChanged(AUParameterAddress address, AUValue value,
                                 AUParameterAutomationEventType type) {
  UnitParameter* parameter = byAddress(address);
  if (!parameter)
    return;
  switch (type) {
  case AUParameterAutomationEventType::value:
    parameter->showUnitValue(value);
    break;
  case AUParameterAutomationEventType::touch:
    parameter->beginChangeGesture();
    break;
  case AUParameterAutomationEventType::release:
    parameter->endChangeGesture();
    break;
  }
}

} // namespace plugins
