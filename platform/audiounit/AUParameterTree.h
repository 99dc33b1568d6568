// A unit's parameters: creation, lookup, the implementor callbacks and parameter observers.
#pragma once

#include "platform/audiounit/AUParameter.h"
#include "platform/audiounit/ObserverList.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Called when a parameter's value is set, read or displayed: on any thread.
using AUImplementorValueObserver = std::function<void(AUParameter& parameter, AUValue value)>;
using AUImplementorValueProvider = std::function<AUValue(const AUParameter& parameter)>;
using AUImplementorStringFromValueCallback =
    std::function<std::string(const AUParameter& parameter, std::optional<AUValue> value)>;
using AUImplementorValueFromStringCallback =
    std::function<AUValue(const AUParameter& parameter, std::string_view text)>;

// What the parameters of a tree share (callbacks and observers). Lives as long as the tree
// or any of its parameters.
class AUParameterTreeCallbacks {
public:
  static constexpr std::size_t kObserverCapacity = 32;

  AUImplementorValueObserver valueObserver;
  AUImplementorValueProvider valueProvider;
  AUImplementorStringFromValueCallback stringFromValue;
  AUImplementorValueFromStringCallback valueFromString;
  ObserverList<kObserverCapacity, AUParameterAddress, AUValue, AUParameterAutomationEventType>
      observers;
};

// Threads: the four implementor callbacks are installed during set-up, before the tree is
// handed to anyone else (a host, an editor, another thread), and not changed afterwards.
// Lookups may be called from any thread. Observers are added and removed on main or control
// threads; they are called on whichever thread sets a value (see ObserverList for the
// removal guarantee).
class AUParameterTree {
public:
  // A parameter with these attributes and value 0, in no tree yet. Any thread.
  static std::shared_ptr<AUParameter>
  createParameter(std::string identifier, std::string name, AUParameterAddress address, AUValue min,
                  AUValue max, AudioUnitParameterUnit unit, std::optional<std::string> unitName,
                  AudioUnitParameterOptions flags, std::vector<std::string> valueStrings,
                  std::vector<AUParameterAddress> dependentParameters);

  // A flat tree of these parameters, in this order. A parameter belongs to one tree.
  static std::shared_ptr<AUParameterTree>
  createTree(std::vector<std::shared_ptr<AUParameter>> children);

  AUParameterTree(const AUParameterTree&) = delete;
  AUParameterTree& operator=(const AUParameterTree&) = delete;

  // The parameters in tree order.
  const std::vector<std::shared_ptr<AUParameter>>& allParameters() const noexcept {
    return children_;
  }
  const std::vector<std::shared_ptr<AUParameter>>& children() const noexcept { return children_; }
  // The first parameter of that address / identifier, or null.
  std::shared_ptr<AUParameter> parameterWithAddress(AUParameterAddress address) const;
  std::shared_ptr<AUParameter> parameterWithIdentifier(std::string_view identifier) const;

  void setImplementorValueObserver(AUImplementorValueObserver observer);
  void setImplementorValueProvider(AUImplementorValueProvider provider);
  void setImplementorStringFromValueCallback(AUImplementorStringFromValueCallback callback);
  void setImplementorValueFromStringCallback(AUImplementorValueFromStringCallback callback);

  // Told of every new value (not of gestures). kAUNoObserverToken when all
  // AUParameterTreeCallbacks::kObserverCapacity places are taken.
  AUParameterObserverToken tokenByAddingParameterObserver(AUParameterObserver observer);
  // Told of new values and of touch and release gestures.
  AUParameterObserverToken
  tokenByAddingParameterAutomationObserver(AUParameterAutomationObserver observer);
  // Either kind. When it returns, the observer is not running and will not be called again.
  void removeParameterObserver(AUParameterObserverToken token);

private:
  explicit AUParameterTree(std::vector<std::shared_ptr<AUParameter>> children);

  std::vector<std::shared_ptr<AUParameter>> children_;
  std::map<AUParameterAddress, std::size_t> byAddress_;
  std::shared_ptr<AUParameterTreeCallbacks> callbacks_;
};
