// Builds the synthesiser unit a render asks for.
#include "tools/quorvane-render/SynthSetup.h"

#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "tools/common/UnitSetup.h"

#include <stdexcept>

using quorvane::unit::QuorvaneAudioUnit;

namespace {

std::shared_ptr<const FactoryPresetCatalogue> presetsFor(const RenderOptions& options) {
  if (!options.resources)
    return QuorvaneAudioUnit::bundledPresets();
  return std::make_shared<const FactoryPresetCatalogue>(
      Bundle::withResourcesFolder(*options.resources), "presets");
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
  applyUnitOptions(*unit, options);
  if (options.seed) {
    const auto seeds = deriveSeeds(*options.seed);
    unit->seedRandomSources(seeds[0], seeds[1], seeds[2]);
  }
  return unit;
}
