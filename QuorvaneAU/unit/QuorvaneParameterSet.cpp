// The synthesiser's parameter table.
#include "QuorvaneAU/unit/QuorvaneParameterSet.h"

#include "QuorvaneAU/dsp/QuorvaneParameters.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::unit {

namespace {

using dsp::QuorvaneParameter;

constexpr AudioUnitParameterOptions kRW =
    kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
constexpr AudioUnitParameterOptions kRWLog = kRW | kAudioUnitParameterFlag_DisplayLogarithmic;
constexpr auto kGeneric = kAudioUnitParameterUnit_Generic;
constexpr auto kSeconds = kAudioUnitParameterUnit_Seconds;
constexpr auto kIndexed = kAudioUnitParameterUnit_Indexed;
constexpr auto kHertz = kAudioUnitParameterUnit_Hertz;

struct ParameterInfo {
  QuorvaneParameter parameter; // the row's own parameter, to check the order
  std::string_view name;
  AUValue min;
  AUValue max;
  AudioUnitParameterUnit unit;
  AudioUnitParameterOptions flags;
  std::array<std::string_view, 3> valueStrings; // as many as are not empty
};

// Indexed by address.
constexpr ParameterInfo kParameters[] = {
    {QuorvaneParameter::shape, "Shape", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::detuneSpread, "Detune", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::rowSpread, "Row Spread", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::attack, "Attack", 0.001f, 20, kSeconds, kRWLog, {}},
    {QuorvaneParameter::decay, "Decay", 0.001f, 20, kSeconds, kRWLog, {}},
    {QuorvaneParameter::sustain, "Sustain", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::release, "Release", 0.001f, 20, kSeconds, kRWLog, {}},
    {QuorvaneParameter::rate, "Rate", 0.1f, 20, kHertz, kRWLog, {}},
    {QuorvaneParameter::motion, "Motion", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::spacetime, "Spacetime", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::drive, "Drive", 1, 10, kGeneric, kRWLog, {}},
    {QuorvaneParameter::frequency, "Frequency", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::resonance, "Resonance", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::drift, "Drift", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::echo, "Echo", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::filterType, "Filter Type", 0, 2, kIndexed, kRW, {"LP", "BP", "HP"}},
    {QuorvaneParameter::filterRolloff, "Filter Rolloff", 0, 1, kIndexed, kRW, {"12", "24"}},
    {QuorvaneParameter::aftertouchDepth, "Aftertouch Depth", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::echoTime, "Echo Time", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::boost, "Boost", 0, 1, kGeneric, kRW, {}},
    {QuorvaneParameter::space, "Space", 0, 1, kGeneric, kRW, {}},
};

// Every parameter has one row, at its address.
static_assert(std::size(kParameters) == dsp::kQuorvaneParameterCount);
static_assert([] {
  for (std::size_t a = 0; a < std::size(kParameters); ++a)
    if (address(kParameters[a].parameter) != a)
      return false;
  return true;
}());

} // namespace

std::shared_ptr<AUParameterTree> makeQuorvaneParameterTree() {
  std::vector<std::shared_ptr<AUParameter>> parameters;
  for (const ParameterInfo& info : kParameters) {
    const AUParameterAddress address = dsp::address(info.parameter);
    std::vector<std::string> valueStrings;
    for (std::string_view text : info.valueStrings)
      if (!text.empty())
        valueStrings.emplace_back(text);
    auto parameter = AUParameterTree::createParameter(
        std::string(dsp::kQuorvaneParameterIdentifiers[address]), std::string(info.name), address,
        info.min, info.max, info.unit, std::nullopt, info.flags, std::move(valueStrings), {});
    parameter->setValue(dsp::initialValue(info.parameter));
    parameters.push_back(std::move(parameter));
  }
  return AUParameterTree::createTree(std::move(parameters));
}

} // namespace quorvane::unit
