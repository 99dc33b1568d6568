// Builds the synthesiser unit a render asks for.
#include "tools/quorvane-render/SynthSetup.h"

#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "QuorvaneAU/unit/TuningFiles.h"
#include "hosting/Seeds.h"
#include "tools/common/UnitSetup.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tools {

using quorvane::unit::QuorvaneAudioUnit;

namespace {

std::shared_ptr<const FactoryPresetCatalogue> presetsFor(const RenderOptions& options) {
  if (!options.resources)
    return QuorvaneAudioUnit::bundledPresets();
  return std::make_shared<const FactoryPresetCatalogue>(
      foundation::Bundle::withResourcesFolder(*options.resources), "presets");
}

} // namespace

std::shared_ptr<QuorvaneAudioUnit> makeSynth(const RenderOptions& options) {
  auto created = AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription, 0,
                                                        presetsFor(options));
  if (!created)
    throw std::runtime_error("cannot create the synthesiser: " +
                             created.error().localizedDescription());
  std::shared_ptr<QuorvaneAudioUnit> unit = std::move(created).value();
  applyUnitOptions(*unit, options);
  if (options.tuning) {
    const std::optional<std::filesystem::path> map =
        options.keyboardMap ? std::optional<std::filesystem::path>(*options.keyboardMap)
                            : std::nullopt;
    if (const auto refused = quorvane::unit::loadTuningFiles(*unit, *options.tuning, map))
      throw hosting::UsageError(*refused);
  }
  if (options.seed) {
    const auto seeds = hosting::deriveSeeds(*options.seed);
    unit->seedRandomSources(seeds[0], seeds[1], seeds[2]);
  }
  return unit;
}

} // namespace tools
