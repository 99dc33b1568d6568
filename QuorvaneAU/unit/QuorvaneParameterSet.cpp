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
  AudioUnitParameterUnit unit;
  AudioUnitParameterOptions flags;
  std::array<std::string_view, 3> valueStrings; // as many as are not empty
};

// Indexed by address.
constexpr ParameterInfo kParameters[] = {
    {QuorvaneParameter::shape, "Shape", kGeneric, kRW, {}},
    {QuorvaneParameter::detuneSpread, "Detune", kGeneric, kRW, {}},
    {QuorvaneParameter::rowSpread, "Row Spread", kGeneric, kRW, {}},
    {QuorvaneParameter::attack, "Attack", kSeconds, kRWLog, {}},
    {QuorvaneParameter::decay, "Decay", kSeconds, kRWLog, {}},
    {QuorvaneParameter::sustain, "Sustain", kGeneric, kRW, {}},
    {QuorvaneParameter::release, "Release", kSeconds, kRWLog, {}},
    {QuorvaneParameter::rate, "Rate", kHertz, kRWLog, {}},
    {QuorvaneParameter::motion, "Motion", kGeneric, kRW, {}},
    {QuorvaneParameter::spacetime, "Spacetime", kGeneric, kRW, {}},
    {QuorvaneParameter::drive, "Drive", kGeneric, kRWLog, {}},
    {QuorvaneParameter::frequency, "Frequency", kGeneric, kRW, {}},
    {QuorvaneParameter::resonance, "Resonance", kGeneric, kRW, {}},
    {QuorvaneParameter::drift, "Drift", kGeneric, kRW, {}},
    {QuorvaneParameter::echo, "Echo", kGeneric, kRW, {}},
    {QuorvaneParameter::filterType, "Filter Type", kIndexed, kRW, {"LP", "BP", "HP"}},
    {QuorvaneParameter::filterRolloff, "Filter Rolloff", kIndexed, kRW, {"12", "24"}},
    {QuorvaneParameter::aftertouchDepth, "Aftertouch Depth", kGeneric, kRW, {}},
    {QuorvaneParameter::echoTime, "Echo Time", kGeneric, kRW, {}},
    {QuorvaneParameter::boost, "Boost", kGeneric, kRW, {}},
    {QuorvaneParameter::space, "Space", kGeneric, kRW, {}},
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
    const dsp::ParameterRange range = dsp::parameterRange(info.parameter);
    std::vector<std::string> valueStrings;
    for (std::string_view text : info.valueStrings)
      if (!text.empty())
        valueStrings.emplace_back(text);
    auto parameter = AUParameterTree::createParameter(
        std::string(dsp::kQuorvaneParameterIdentifiers[address]), std::string(info.name), address,
        range.min, range.max, info.unit, std::nullopt, info.flags, std::move(valueStrings), {});
    parameter->setValue(dsp::initialValue(info.parameter));
    parameters.push_back(std::move(parameter));
  }
  return AUParameterTree::createTree(std::move(parameters));
}

} // namespace quorvane::unit
