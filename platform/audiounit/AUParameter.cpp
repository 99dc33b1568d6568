// A parameter's value, its notifications and its display strings.
#include "platform/audiounit/AUParameter.h"

#include "platform/audiounit/AUParameterTree.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

AUParameter::AUParameter(Attributes attributes) : attributes_(std::move(attributes)) {}

AUValue AUParameter::value() const {
  if (tree_ && tree_->valueProvider)
    return tree_->valueProvider(*this);
  return storedValue();
}

void AUParameter::setValue(AUValue value, AUParameterObserverToken originator) {
  setValue(value, originator, AUParameterAutomationEventType::value);
}

void AUParameter::setValue(AUValue value, AUParameterObserverToken originator,
                           AUParameterAutomationEventType eventType) {
  if (eventType == AUParameterAutomationEventType::value) {
    value_.store(value, std::memory_order_relaxed);
    if (tree_ && tree_->valueObserver)
      tree_->valueObserver(*this, value);
  }
  if (tree_)
    tree_->observers.notify(originator, address(), value, eventType);
}

std::string AUParameter::stringFromValue(std::optional<AUValue> value) const {
  if (tree_ && tree_->stringFromValue)
    return tree_->stringFromValue(*this, value);
  const AUValue v = value ? *value : this->value();
  const auto& strings = valueStrings();
  if (std::isfinite(v) && v >= 0 && v == std::floor(v) && v < AUValue(strings.size()))
    return strings[static_cast<std::size_t>(v)];
  char text[32];
  std::snprintf(text, sizeof text, "%g", double(v));
  return text;
}

std::optional<AUValue> AUParameter::valueFromString(std::string_view text) const {
  if (tree_ && tree_->valueFromString)
    return tree_->valueFromString(*this, text);
  const auto& strings = valueStrings();
  for (std::size_t i = 0; i < strings.size(); ++i)
    if (strings[i] == text)
      return AUValue(i);
  while (!text.empty() && (text.front() == ' ' || text.front() == '+'))
    text.remove_prefix(1);
  AUValue number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc{} || end == text.data())
    return std::nullopt;
  return number;
}
