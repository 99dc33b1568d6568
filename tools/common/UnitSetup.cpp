// What a tool does to a unit before rendering, as a host would.
#include "tools/common/UnitSetup.h"

#include "hosting/OutputDestination.h"
#include "hosting/ToolMain.h"
#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/AudioFormat.h"
#include "platform/audiounit/StereoSourceUnit.h"
#include "platform/foundation/Files.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace tools {

namespace {

// A state file is a few kilobytes; anything this large is not one.
constexpr std::size_t kMaxStateBytes = 16 * 1024 * 1024;

AUAudioUnitPreset findPreset(const AUAudioUnit& unit, const std::string& wanted) {
  const auto presets = unit.factoryPresets();
  const auto number = hosting::parseInteger(wanted);
  for (const AUAudioUnitPreset& preset : presets)
    if ((number && preset.number == *number) || preset.name == wanted)
      return preset;
  throw hosting::UsageError("--preset: no factory preset " + hosting::inQuotes(wanted) +
                            " (there are " + std::to_string(presets.size()) +
                            "; see --list-presets)");
}

foundation::PropertyList readState(const AUAudioUnit& unit, const std::string& path) {
  std::string why;
  const auto bytes = foundation::readWholeFile(path, kMaxStateBytes, &why);
  if (!bytes)
    throw hosting::UsageError("--state: cannot read " + hosting::inQuotes(path) + ": " + why);
  foundation::PropertyList::ReadResult parsed = foundation::PropertyList::read(*bytes);
  if (!parsed.value)
    throw hosting::UsageError("--state: " + hosting::inQuotes(path) +
                              " is not a property list: " + parsed.error);
  if (!parsed.value->dictionary())
    throw hosting::UsageError("--state: " + hosting::inQuotes(path) +
                              " does not hold a dictionary");
  // A host falls back to the defaults for such a state; a tool would render the wrong sound.
  if (const auto* ours = dynamic_cast<const StereoSourceUnit*>(&unit))
    if (const auto problem = ours->stateProblem(*parsed.value))
      throw hosting::UsageError("--state: " + hosting::inQuotes(path) + ": " + *problem);
  return std::move(*parsed.value);
}

} // namespace

std::vector<std::string> parameterIdentifiers(const AUParameterTree& tree) {
  std::vector<std::string> identifiers;
  for (const auto& parameter : tree.allParameters())
    identifiers.push_back(parameter->identifier());
  return identifiers;
}

void applyUnitOptions(AUAudioUnit& unit, const UnitOptions& options) {
  if (options.preset)
    unit.setCurrentPreset(findPreset(unit, *options.preset));
  if (options.state)
    unit.setFullState(readState(unit, *options.state));
  const auto tree = unit.parameterTree();
  for (const ParameterSetting& setting : options.settings) {
    const auto parameter = tree ? tree->parameterWithIdentifier(setting.identifier) : nullptr;
    if (!parameter && !tree)
      throw hosting::UsageError("--set: the unit has no parameters");
    if (!parameter)
      throw hosting::UsageError("--set: unknown parameter " +
                                hosting::inQuotes(setting.identifier) +
                                " (known: " + hosting::listOf(parameterIdentifiers(*tree)) + ")");
    // The unit keeps the value to its range, as a host's control would; said, since the render
    // then plays something other than what was asked.
    const AUValue value = std::clamp(setting.value, parameter->minValue(), parameter->maxValue());
    if (value != setting.value) {
      std::ostringstream note;
      note << "--set " << setting.identifier << ": " << setting.value << " is outside "
           << parameter->minValue() << " ... " << parameter->maxValue() << "; " << value
           << " is used";
      hosting::reportNote(note.str());
    }
    parameter->setValue(setting.value);
  }
}

void printUnitListings(const AUAudioUnit& unit, const UnitOptions& options, std::ostream& out) {
  if (options.listPresets)
    for (const AUAudioUnitPreset& preset : unit.factoryPresets())
      out << preset.number << '\t' << preset.name << '\n';
  if (options.printState)
    if (const auto state = unit.fullState())
      out << state->toXML();
}

void allocateUnit(AUAudioUnit& unit, const UnitOptions& options, std::string_view unitName) {
  const auto format = AudioFormat::standard(static_cast<double>(options.sampleRate), 2);
  if (unit.outputBusses().count() > 0)
    if (auto result = unit.outputBusses()[0].setFormat(format); !result)
      throw std::runtime_error(result.error().localizedDescription());
  unit.setMaximumFramesToRender(static_cast<AUAudioFrameCount>(options.blockSize));
  if (auto result = unit.allocateRenderResources(); !result)
    throw std::runtime_error("cannot start the " + std::string(unitName) + ": " +
                             result.error().localizedDescription());
}

void refuseOutputOverState(std::string_view output, const UnitOptions& options) {
  if (options.state)
    hosting::refuseOutputOverInput(output, *options.state, "the --state file");
}

} // namespace tools
