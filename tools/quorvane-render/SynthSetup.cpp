// Builds the synthesiser unit a render asks for.
#include "tools/quorvane-render/SynthSetup.h"

#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/foundation/Files.h"
#include "tools/common/CommandLine.h"

#include <stdexcept>

namespace {

// A state file is a few kilobytes; anything this large is not one.
constexpr std::size_t kMaxStateBytes = 16 * 1024 * 1024;

std::shared_ptr<const FactoryPresetCatalogue> presetsFor(const RenderOptions& options) {
  if (!options.resources)
    return QuorvaneAudioUnit::bundledPresets();
  return std::make_shared<const FactoryPresetCatalogue>(
      Bundle::withResourcesFolder(*options.resources), "presets");
}

AUAudioUnitPreset findPreset(const QuorvaneAudioUnit& unit, const std::string& wanted) {
  const auto presets = unit.factoryPresets();
  const auto number = parseInteger(wanted);
  for (const AUAudioUnitPreset& preset : presets)
    if ((number && preset.number == *number) || preset.name == wanted)
      return preset;
  throw UsageError("--preset: no factory preset " + inQuotes(wanted) + " (there are " +
                   std::to_string(presets.size()) + "; see --list-presets)");
}

PropertyList readState(const std::string& path) {
  std::string why;
  const auto bytes = readWholeFile(path, kMaxStateBytes, &why);
  if (!bytes)
    throw UsageError("--state: cannot read " + inQuotes(path) + ": " + why);
  PropertyList::ReadResult parsed = PropertyList::read(*bytes);
  if (!parsed.value)
    throw UsageError("--state: " + inQuotes(path) + " is not a property list: " + parsed.error);
  if (!parsed.value->dictionary())
    throw UsageError("--state: " + inQuotes(path) + " does not hold a dictionary");
  return std::move(*parsed.value);
}

} // namespace

std::array<std::uint32_t, 3> deriveSeeds(std::uint64_t seed) noexcept {
  std::array<std::uint32_t, 3> seeds{};
  for (auto& s : seeds) {
    seed += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = seed;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    s = static_cast<std::uint32_t>(z >> 32);
  }
  return seeds;
}

std::shared_ptr<QuorvaneAudioUnit> makeSynth(const RenderOptions& options) {
  auto created = AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription, 0,
                                                        presetsFor(options));
  if (!created)
    throw std::runtime_error("cannot create the synthesiser: " +
                             created.error().localizedDescription());
  std::shared_ptr<QuorvaneAudioUnit> unit = std::move(created).value();
  if (options.preset)
    unit->setCurrentPreset(findPreset(*unit, *options.preset));
  if (options.state)
    unit->setFullState(readState(*options.state));
  const auto tree = unit->parameterTree();
  for (const ParameterSetting& setting : options.settings)
    tree->parameterWithIdentifier(setting.identifier)->setValue(setting.value);
  if (options.seed) {
    const auto seeds = deriveSeeds(*options.seed);
    unit->kernel().seed(seeds[0], seeds[1], seeds[2]);
  }
  return unit;
}

void allocateSynth(QuorvaneAudioUnit& unit, const RenderOptions& options) {
  const auto format = AudioFormat::standard(static_cast<double>(options.sampleRate), 2);
  if (auto result = unit.outputBusses()[0].setFormat(format); !result)
    throw std::runtime_error(result.error().localizedDescription());
  unit.setMaximumFramesToRender(static_cast<AUAudioFrameCount>(options.blockSize));
  if (auto result = unit.allocateRenderResources(); !result)
    throw std::runtime_error("cannot start the synthesiser: " +
                             result.error().localizedDescription());
}
