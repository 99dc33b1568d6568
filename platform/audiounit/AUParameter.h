// One parameter of a unit: its fixed attributes, its value, and how a new value is told.
#pragma once

#include "platform/audiounit/AUParameterTypes.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class AUParameterTreeCallbacks;

namespace foundation {
struct ParameterRow;
}

// Created by AUParameterTree::createParameter. The attributes never change; value,
// setValue, stringFromValue and valueFromString may be called from any thread (they call the
// tree's implementor callbacks and parameter observers on that thread).
class AUParameter {
public:
  struct Attributes {
    std::string identifier;
    std::string displayName;
    AUParameterAddress address = 0;
    AUValue minValue = 0;
    AUValue maxValue = 1;
    AudioUnitParameterUnit unit = kAudioUnitParameterUnit_Generic;
    std::optional<std::string> unitName;
    AudioUnitParameterOptions flags = 0;
    std::vector<std::string> valueStrings; // empty: none
    std::vector<AUParameterAddress> dependentParameters;
    // The unit's table row it was made from, if any: how its values read to a musician
    // (foundation::displayText). Rows are constant tables that outlive every tree.
    const foundation::ParameterRow* row = nullptr;
  };

  explicit AUParameter(Attributes attributes);
  AUParameter(const AUParameter&) = delete;
  AUParameter& operator=(const AUParameter&) = delete;

  const std::string& identifier() const noexcept { return attributes_.identifier; }
  const std::string& displayName() const noexcept { return attributes_.displayName; }
  AUParameterAddress address() const noexcept { return attributes_.address; }
  AUValue minValue() const noexcept { return attributes_.minValue; }
  AUValue maxValue() const noexcept { return attributes_.maxValue; }
  AudioUnitParameterUnit unit() const noexcept { return attributes_.unit; }
  const std::optional<std::string>& unitName() const noexcept { return attributes_.unitName; }
  AudioUnitParameterOptions flags() const noexcept { return attributes_.flags; }
  const std::vector<std::string>& valueStrings() const noexcept { return attributes_.valueStrings; }
  const std::vector<AUParameterAddress>& dependentParameters() const noexcept {
    return attributes_.dependentParameters;
  }
  const foundation::ParameterRow* row() const noexcept { return attributes_.row; }

  // The tree's value provider's answer when one is installed, else the stored value.
  AUValue value() const;
  // The last value set, without asking the provider (what a provider falls back on).
  AUValue storedValue() const noexcept { return value_.load(std::memory_order_relaxed); }

  // Stores the value, calls the tree's implementor value observer, then tells every parameter
  // observer of the tree except the one whose token is originator. No clamping.
  void setValue(AUValue value, AUParameterObserverToken originator = kAUNoObserverToken);
  // The same for eventType value; touch and release change nothing and reach only the
  // automation observers (gestures of an editor or host).
  void setValue(AUValue value, AUParameterObserverToken originator,
                AUParameterAutomationEventType eventType);

  // The tree's string-from-value callback for value (the current value when none). Without
  // one: the value string at an in-range whole-number value, else the number ("%g").
  std::string stringFromValue(std::optional<AUValue> value = std::nullopt) const;
  // The tree's value-from-string callback. Without one: the index of an equal value string,
  // else the number the text starts with; nothing for text that is neither.
  std::optional<AUValue> valueFromString(std::string_view text) const;

private:
  friend class AUParameterTree;

  Attributes attributes_;
  std::atomic<AUValue> value_{0};
  // Set once, when the parameter joins a tree (before the tree is shared); keeps the tree's
  // callbacks alive as long as the parameter.
  std::shared_ptr<const AUParameterTreeCallbacks> tree_;
};
