// The generator's parameter table and how its values read.
#include "PallixAU/unit/PallixParameterSet.h"

#include "PallixAU/engine/PallixParameter.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pallix::unit {

namespace {

using engine::PallixParameter;

struct ParameterInfo {
  std::string_view identifier;
  std::string_view name;
  PallixParameter parameter;
  AUValue max;
  AudioUnitParameterUnit unit;
  AudioUnitParameterOptions flags;
  AUValue initial;
  std::span<const std::string_view> valueStrings;
};

constexpr AudioUnitParameterOptions kChoice =
    kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
constexpr AudioUnitParameterOptions kKnob = kChoice | kAudioUnitParameterFlag_CanRamp;
constexpr auto kGeneric = kAudioUnitParameterUnit_Generic;
constexpr auto kIndexed = kAudioUnitParameterUnit_Indexed;

constexpr std::array<std::string_view, 12> kNoteNames{"C",  "C#", "D",  "D#", "E",  "F",
                                                      "F#", "G",  "G#", "A",  "A#", "B"};
constexpr std::array<std::string_view, 2> kModeNames{"Major", "Minor"};

// In tree order.
constexpr std::array<ParameterInfo, engine::kPallixParameterCount> kParameters = {{
    {"embroidery", "Embroidery", PallixParameter::embroidery, 1, kGeneric, kKnob, 0.5f, {}},
    {"easiness", "Easiness", PallixParameter::easiness, 1, kGeneric, kKnob, 0.5f, {}},
    {"etiquette", "Etiquette", PallixParameter::etiquette, 1, kGeneric, kKnob, 0.5f, {}},
    {"exotica", "Exotica", PallixParameter::exotica, 1, kGeneric, kKnob, 0.5f, {}},
    {"emotion", "Emotion", PallixParameter::emotion, 1, kGeneric, kKnob, 0.5f, {}},
    {"evolution", "Evolution", PallixParameter::evolution, 1, kGeneric, kKnob, 0.5f, {}},
    {"rootNote", "Root Note", PallixParameter::rootNote, 11, kIndexed, kChoice, 0, kNoteNames},
    {"mode", "Mode", PallixParameter::mode, 1, kIndexed, kChoice, 0, kModeNames},
}};

constexpr bool namesEveryParameterOnce() {
  std::array<int, engine::kPallixParameterCount> seen{};
  for (const ParameterInfo& info : kParameters) {
    const auto address = engine::addressOf(info.parameter);
    if (address >= seen.size() || seen[address]++ > 0)
      return false;
  }
  return true;
}
static_assert(namesEveryParameterOnce());

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
  for (const ParameterInfo& info : kParameters) {
    auto parameter = AUParameterTree::createParameter(
        std::string(info.identifier), std::string(info.name), engine::addressOf(info.parameter), 0,
        info.max, info.unit, std::nullopt, info.flags,
        std::vector<std::string>(info.valueStrings.begin(), info.valueStrings.end()), {});
    parameter->setValue(info.initial);
    parameters.push_back(std::move(parameter));
  }
  auto tree = AUParameterTree::createTree(std::move(parameters));
  tree->setImplementorStringFromValueCallback(displayString);
  return tree;
}

} // namespace pallix::unit
