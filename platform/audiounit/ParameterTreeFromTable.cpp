// Parameters from table rows.
#include "platform/audiounit/ParameterTreeFromTable.h"

#include <cstdio>
#include <vector>

namespace {

AudioUnitParameterUnit unitOf(foundation::ParameterUnit unit) noexcept {
  switch (unit) {
  case foundation::ParameterUnit::indexed:
    return kAudioUnitParameterUnit_Indexed;
  case foundation::ParameterUnit::seconds:
    return kAudioUnitParameterUnit_Seconds;
  case foundation::ParameterUnit::hertz:
    return kAudioUnitParameterUnit_Hertz;
  case foundation::ParameterUnit::generic:
    break;
  }
  return kAudioUnitParameterUnit_Generic;
}

AudioUnitParameterOptions flagsOf(const foundation::ParameterRow& row) noexcept {
  AudioUnitParameterOptions flags =
      kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
  if (row.taper == foundation::ParameterTaper::logarithmic)
    flags |= kAudioUnitParameterFlag_DisplayLogarithmic;
  if (row.canRamp)
    flags |= kAudioUnitParameterFlag_CanRamp;
  return flags;
}

} // namespace

std::shared_ptr<AUParameterTree> makeParameterTree(std::span<const foundation::ParameterRow> rows) {
  std::vector<std::shared_ptr<AUParameter>> parameters;
  for (const foundation::ParameterRow& row : rows) {
    auto parameter = std::make_shared<AUParameter>(AUParameter::Attributes{
        std::string(row.identifier),
        std::string(row.name),
        row.address,
        row.min,
        row.max,
        unitOf(row.unit),
        std::nullopt,
        flagsOf(row),
        std::vector<std::string>(row.valueNames.begin(), row.valueNames.end()),
        {},
        &row});
    parameter->setValue(row.defaultValue);
    parameters.push_back(std::move(parameter));
  }
  return AUParameterTree::createTree(std::move(parameters));
}

std::string numberString(const foundation::ParameterRow& row, AUValue value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", row.precision, static_cast<double>(value));
  return text;
}
