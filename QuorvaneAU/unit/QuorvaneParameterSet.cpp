// The synthesiser's parameter table.
#include "QuorvaneAU/unit/QuorvaneParameterSet.h"

#include "QuorvaneAU/dsp/QuorvaneParameters.h"

namespace {

constexpr AudioUnitParameterOptions kRW =
    kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
constexpr AudioUnitParameterOptions kRWLog = kRW | kAudioUnitParameterFlag_DisplayLogarithmic;
constexpr auto kGeneric = kAudioUnitParameterUnit_Generic;
constexpr auto kSeconds = kAudioUnitParameterUnit_Seconds;
constexpr auto kIndexed = kAudioUnitParameterUnit_Indexed;

} // namespace

const std::array<QuorvaneParameterInfo, 21>& quorvaneParameterInfo() {
  static const std::array<QuorvaneParameterInfo, 21> table = {{
      {"Shape", 0, 1, kGeneric, kRW, 0.5f, {}},
      {"Detune", 0, 1, kGeneric, kRW, 0, {}},
      {"Row Spread", 0, 1, kGeneric, kRW, 0, {}},
      {"Attack", 0.001f, 20, kSeconds, kRWLog, 0.005f, {}},
      {"Decay", 0.001f, 20, kSeconds, kRWLog, 0.08f, {}},
      {"Sustain", 0, 1, kGeneric, kRW, 0.4f, {}},
      {"Release", 0.001f, 20, kSeconds, kRWLog, 0.25f, {}},
      {"Rate", 0.1f, 20, kAudioUnitParameterUnit_Hertz, kRWLog, 1.0f, {}},
      {"Motion", 0, 1, kGeneric, kRW, 0, {}},
      {"Spacetime", 0, 1, kGeneric, kRW, 0, {}},
      {"Drive", 1, 10, kGeneric, kRWLog, 1.0f, {}},
      {"Frequency", 0, 1, kGeneric, kRW, 1.0f, {}},
      {"Resonance", 0, 1, kGeneric, kRW, 0, {}},
      {"Drift", 0, 1, kGeneric, kRW, 0, {}},
      {"Echo", 0, 1, kGeneric, kRW, 0, {}},
      {"Filter Type", 0, 2, kIndexed, kRW, 0, {"LP", "BP", "HP"}},
      {"Filter Rolloff", 0, 1, kIndexed, kRW, 0, {"12", "24"}},
      {"Aftertouch Depth", 0, 1, kGeneric, kRW, 0, {}},
      {"Echo Time", 0, 1, kGeneric, kRW, 0, {}},
      {"Boost", 0, 1, kGeneric, kRW, 0, {}},
      {"Space", 0, 1, kGeneric, kRW, 0, {}},
  }};
  return table;
}

std::shared_ptr<AUParameterTree> makeQuorvaneParameterTree() {
  std::vector<std::shared_ptr<AUParameter>> parameters;
  const auto& table = quorvaneParameterInfo();
  for (AUParameterAddress address = 0; address < table.size(); ++address) {
    const QuorvaneParameterInfo& info = table[address];
    auto parameter = AUParameterTree::createParameter(
        std::string(kQuorvaneParameterIdentifiers[address]), std::string(info.name), address,
        info.min, info.max, info.unit, std::nullopt, info.flags, info.valueStrings, {});
    parameter->setValue(info.initial);
    parameters.push_back(std::move(parameter));
  }
  return AUParameterTree::createTree(std::move(parameters));
}
