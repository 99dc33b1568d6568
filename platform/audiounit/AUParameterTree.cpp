// Parameter and tree creation, lookup, implementor callbacks and observer registration.
#include "platform/audiounit/AUParameterTree.h"

#include <utility>

std::shared_ptr<AUParameter> AUParameterTree::createParameter(
    std::string identifier, std::string name, AUParameterAddress address, AUValue min, AUValue max,
    AudioUnitParameterUnit unit, std::optional<std::string> unitName,
    AudioUnitParameterOptions flags, std::vector<std::string> valueStrings,
    std::vector<AUParameterAddress> dependentParameters) {
  return std::make_shared<AUParameter>(AUParameter::Attributes{
      std::move(identifier), std::move(name), address, min, max, unit, std::move(unitName), flags,
      std::move(valueStrings), std::move(dependentParameters)});
}

std::shared_ptr<AUParameterTree>
AUParameterTree::createTree(std::vector<std::shared_ptr<AUParameter>> children) {
  return std::shared_ptr<AUParameterTree>(new AUParameterTree(std::move(children)));
}

AUParameterTree::AUParameterTree(std::vector<std::shared_ptr<AUParameter>> children)
    : children_(std::move(children)), callbacks_(std::make_shared<AUParameterTreeCallbacks>()) {
  std::erase(children_, nullptr);
  for (std::size_t i = 0; i < children_.size(); ++i) {
    children_[i]->tree_ = callbacks_;
    byAddress_.emplace(children_[i]->address(), i); // the first of an address wins
  }
}

std::shared_ptr<AUParameter>
AUParameterTree::parameterWithAddress(AUParameterAddress address) const {
  const auto found = byAddress_.find(address);
  return found == byAddress_.end() ? nullptr : children_[found->second];
}

std::shared_ptr<AUParameter>
AUParameterTree::parameterWithIdentifier(std::string_view identifier) const {
  for (const auto& parameter : children_)
    if (parameter->identifier() == identifier)
      return parameter;
  return nullptr;
}

void AUParameterTree::setImplementorValueObserver(AUImplementorValueObserver observer) {
  callbacks_->valueObserver = std::move(observer);
}

void AUParameterTree::setImplementorValueProvider(AUImplementorValueProvider provider) {
  callbacks_->valueProvider = std::move(provider);
}

void AUParameterTree::setImplementorStringFromValueCallback(
    AUImplementorStringFromValueCallback callback) {
  callbacks_->stringFromValue = std::move(callback);
}

void AUParameterTree::setImplementorValueFromStringCallback(
    AUImplementorValueFromStringCallback callback) {
  callbacks_->valueFromString = std::move(callback);
}

AUParameterObserverToken
AUParameterTree::tokenByAddingParameterObserver(AUParameterObserver observer) {
  if (!observer)
    return kAUNoObserverToken;
  return callbacks_->observers.add(
      [observer = std::move(observer)](AUParameterAddress address, AUValue value,
                                       AUParameterAutomationEventType type) {
        if (type == AUParameterAutomationEventType::value)
          observer(address, value);
      });
}

AUParameterObserverToken
AUParameterTree::tokenByAddingParameterAutomationObserver(AUParameterAutomationObserver observer) {
  return callbacks_->observers.add(std::move(observer));
}

void AUParameterTree::removeParameterObserver(AUParameterObserverToken token) {
  callbacks_->observers.remove(token);
}
