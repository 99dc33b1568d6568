// Host parameters over the unit's tree, with changes passed each way without echo.
#include "plugins/adapter/UnitParameters.h"

#include <algorithm>

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
  token_ = tree_->tokenByAddingParameterObserver(
      [this](AUParameterAddress address, AUValue value) { showUnitValue(address, value); });
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

void UnitParameters::announceAll() {
  for (UnitParameter* parameter : parameters_)
    parameter->announce();
}

void UnitParameters::supersedeAnnounced() noexcept {
  for (UnitParameter* parameter : parameters_)
    parameter->supersedeAnnounced();
}

void UnitParameters::forgetSuperseded() noexcept {
  for (UnitParameter* parameter : parameters_)
    parameter->forgetSuperseded();
}

void UnitParameters::showUnitValue(AUParameterAddress address, AUValue value) {
  const auto found =
      std::lower_bound(byAddress_.begin(), byAddress_.end(), address,
                       [](const auto& entry, AUParameterAddress key) { return entry.first < key; });
  if (found != byAddress_.end() && found->first == address)
    found->second->showUnitValue(value);
}
