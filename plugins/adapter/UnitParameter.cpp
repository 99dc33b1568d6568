// A unit parameter as a host parameter.
#include "plugins/adapter/UnitParameter.h"

#include "platform/foundation/ParameterTable.h"
#include "platform/foundation/ParameterText.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace plugins {

namespace {

// Set while the unit's own change is shown to the host, on the thread showing it: the host's
// answer to that notification is the same value, not a change to pass on.
thread_local bool showingUnitValue = false;

constexpr auto kLog = foundation::ParameterTaper::logarithmic;

juce::NormalisableRange<float> rangeOf(const AUParameter& parameter, bool discrete) {
  const float low = parameter.minValue();
  // JUCE needs a non-empty range; a unit could declare a fixed value.
  const float high = std::max(parameter.maxValue(), low + 1.0f);
  // What the unit shows logarithmically, hosts' sliders and automation lanes travel the same
  // way: a millisecond attack gets as much of the travel as a ten-second one.
  if (!discrete && (parameter.flags() & kAudioUnitParameterFlag_DisplayLogarithmic) && low > 0.0f)
    return {low, high,
            [](float start, float end, float x) {
              return std::clamp(foundation::valueAtPosition(kLog, start, end, x), start, end);
            },
            [](float start, float end, float value) {
              return foundation::positionOfValue(kLog, start, end, value);
            }};
  return {low, high, discrete ? 1.0f : 0.0f};
}

bool isDiscreteParameter(const AUParameter& parameter) {
  return parameter.unit() == kAudioUnitParameterUnit_Indexed ||
         parameter.unit() == kAudioUnitParameterUnit_Boolean || !parameter.valueStrings().empty();
}

// The name of a stepped value, if the unit gives one for it.
const std::string* valueNameOf(const AUParameter& parameter, AUValue value) {
  const auto& names = parameter.valueStrings();
  const AUValue index = std::round(value - parameter.minValue());
  if (!std::isfinite(index) || index < 0 || index >= AUValue(names.size()))
    return nullptr;
  return &names[static_cast<std::size_t>(index)];
}

juce::String labelOf(const AUParameter& parameter) {
  if (parameter.row())
    return {}; // its text says the unit, in the size that reads best ("12.5 ms", "1.41 s")
  if (parameter.unitName())
    return juce::String(*parameter.unitName());
  switch (parameter.unit()) {
  case kAudioUnitParameterUnit_Hertz:
    return "Hz";
  case kAudioUnitParameterUnit_Decibels:
    return "dB";
  case kAudioUnitParameterUnit_Seconds:
    return "s";
  case kAudioUnitParameterUnit_Milliseconds:
    return "ms";
  case kAudioUnitParameterUnit_Percent:
    return "%";
  case kAudioUnitParameterUnit_Cents:
    return "cents";
  default:
    return {};
  }
}

} // namespace

UnitParameter::UnitParameter(std::shared_ptr<AUParameter> parameter)
    : juce::RangedAudioParameter(
          juce::ParameterID{parameter->identifier(), 1}, parameter->displayName(),
          juce::AudioProcessorParameterWithIDAttributes().withLabel(labelOf(*parameter))),
      parameter_(std::move(parameter)),
      range_(rangeOf(*parameter_, isDiscreteParameter(*parameter_))),
      discrete_(isDiscreteParameter(*parameter_)),
      default_(convertTo0to1(std::clamp(parameter_->value(), range_.start, range_.end))),
      value_(default_) {}

bool UnitParameter::takePendingValue(AUValue& value) noexcept {
  if (!pending_.exchange(false, std::memory_order_acquire))
    return false;
  value = convertFrom0to1(value_.load(std::memory_order_relaxed));
  return true;
}

void UnitParameter::showUnitValue(AUValue value) {
  const float normalised = std::isfinite(value)
                               ? convertTo0to1(std::clamp(value, range_.start, range_.end))
                               : getValue();
  pending_.store(false, std::memory_order_relaxed);
  hostChanged_.store(false, std::memory_order_relaxed);
  announced_.store(normalised, std::memory_order_relaxed);
  showingUnitValue = true;
  setValueNotifyingHost(normalised);
  showingUnitValue = false;
}

void UnitParameter::supersedeAnnounced() noexcept {
  superseded_.store(announced_.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

void UnitParameter::setValue(float normalised) {
  // Hosts and automation lanes can send anything; the unit only ever sees values in range.
  if (!std::isfinite(normalised))
    return;
  const float value = std::clamp(normalised, 0.0f, 1.0f);
  if (!showingUnitValue && value == superseded_.exchange(kNone, std::memory_order_relaxed))
    return; // the host relaying what a restored state replaced
  value_.store(value, std::memory_order_relaxed);
  if (!showingUnitValue) {
    pending_.store(true, std::memory_order_release);
    hostChanged_.store(true, std::memory_order_release);
  }
}

bool UnitParameter::takeHostChange(AUValue& value) noexcept {
  if (!hostChanged_.exchange(false, std::memory_order_acquire))
    return false;
  value = convertFrom0to1(value_.load(std::memory_order_relaxed));
  return true;
}

bool UnitParameter::isBoolean() const {
  return parameter_->unit() == kAudioUnitParameterUnit_Boolean;
}

juce::String UnitParameter::getText(float normalised, int maximumLength) const {
  // A stepped value reads as its name wherever the unit's own display string would not.
  const AUValue value = convertFrom0to1(normalised);
  // A unit's own parameter reads as its editor shows it; others as their unit says.
  const std::string* name = discrete_ ? valueNameOf(*parameter_, value) : nullptr;
  const juce::String text(parameter_->row() ? foundation::displayText(*parameter_->row(), value)
                          : name            ? *name
                                            : parameter_->stringFromValue(value));
  return maximumLength > 0 ? text.substring(0, maximumLength) : text;
}

float UnitParameter::getValueForText(const juce::String& text) const {
  if (const auto* row = parameter_->row()) {
    const auto value = foundation::valueFromText(*row, text.toStdString());
    return value ? convertTo0to1(*value) : getValue();
  }
  const auto& names = parameter_->valueStrings();
  if (const auto found = std::find(names.begin(), names.end(), text.toStdString());
      found != names.end())
    return convertTo0to1(parameter_->minValue() + AUValue(found - names.begin()));
  const auto value = parameter_->valueFromString(text.toStdString());
  if (!value || !std::isfinite(*value))
    return getValue();
  return convertTo0to1(std::clamp(*value, range_.start, range_.end));
}

juce::StringArray UnitParameter::getAllValueStrings() const {
  if (parameter_->valueStrings().empty())
    return juce::RangedAudioParameter::getAllValueStrings();
  juce::StringArray strings;
  for (const auto& text : parameter_->valueStrings())
    strings.add(juce::String(text));
  return strings;
}

} // namespace plugins
