// The generator's parameter table and how its values read.
#include "PallixAU/unit/PallixParameterSet.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct ParameterInfo {
  std::string_view identifier;
  std::string_view name;
  AUParameterAddress address;
  AUValue max;
  AudioUnitParameterUnit unit;
  AudioUnitParameterOptions flags;
  AUValue initial;
  std::vector<std::string> valueStrings;
};

constexpr AudioUnitParameterOptions kChoice =
    kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
constexpr AudioUnitParameterOptions kKnob = kChoice | kAudioUnitParameterFlag_CanRamp;
constexpr auto kGeneric = kAudioUnitParameterUnit_Generic;
constexpr auto kIndexed = kAudioUnitParameterUnit_Indexed;

// In tree order.
const std::array<ParameterInfo, 8>& parameterTable() {
  static const std::array<ParameterInfo, 8> table = {{
      {"embroidery", "Embroidery", 0, 1, kGeneric, kKnob, 0.5f, {}},
      {"easiness", "Easiness", 1, 1, kGeneric, kKnob, 0.5f, {}},
      {"etiquette", "Etiquette", 2, 1, kGeneric, kKnob, 0.5f, {}},
      {"exotica", "Exotica", 3, 1, kGeneric, kKnob, 0.5f, {}},
      {"emotion", "Emotion", 6, 1, kGeneric, kKnob, 0.5f, {}},
      {"evolution", "Evolution", 7, 1, kGeneric, kKnob, 0.5f, {}},
      {"rootNote",
       "Root Note",
       4,
       11,
       kIndexed,
       kChoice,
       0,
       {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"}},
      {"mode", "Mode", 5, 1, kIndexed, kChoice, 0, {"Major", "Minor"}},
  }};
  return table;
}

// Choices read as their names, truncated as the kernel truncates them; knobs as numbers.
std::string displayString(const AUParameter& parameter, std::optional<AUValue> value) {
  const AUValue v = value ? *value : parameter.value();
  const auto& strings = parameter.valueStrings();
  if (!strings.empty() && std::isfinite(v) && v >= 0 && v < AUValue(strings.size()))
    return strings[static_cast<std::size_t>(v)];
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(v));
  return text;
}

} // namespace

std::shared_ptr<AUParameterTree> makePallixParameterTree() {
  std::vector<std::shared_ptr<AUParameter>> parameters;
  for (const ParameterInfo& info : parameterTable()) {
    auto parameter = AUParameterTree::createParameter(
        std::string(info.identifier), std::string(info.name), info.address, 0, info.max, info.unit,
        std::nullopt, info.flags, info.valueStrings, {});
    parameter->setValue(info.initial);
    parameters.push_back(std::move(parameter));
  }
  auto tree = AUParameterTree::createTree(std::move(parameters));
  tree->setImplementorStringFromValueCallback(displayString);
  return tree;
}
