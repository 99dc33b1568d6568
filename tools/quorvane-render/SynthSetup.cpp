// Builds the synthesiser unit a render asks for.
#include "tools/quorvane-render/SynthSetup.h"

#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "hosting/Seeds.h"
#include "platform/foundation/Files.h"
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

std::string readTuningFile(const std::string& path) {
  std::string why;
  // One byte past the limit tells a file too large from one that just fits.
  const auto bytes = foundation::readWholeFile(path, quorvane::dsp::kMaxTuningFileBytes + 1, &why);
  if (!bytes)
    throw hosting::UsageError(path + ": cannot read it: " + why);
  return std::string(bytes->begin(), bytes->end());
}

// Names the file and, where it is one, the line of what it refused.
void applyTuning(QuorvaneAudioUnit& unit, const std::string& scalePath,
                 const std::optional<std::string>& mapPath) {
  const std::string scale = readTuningFile(scalePath);
  const std::optional<std::string> map =
      mapPath ? std::optional<std::string>(readTuningFile(*mapPath)) : std::nullopt;
  const auto refusal =
      unit.setTuning(scale, map ? std::optional<std::string_view>(*map) : std::nullopt);
  if (!refusal)
    return;
  const std::string& path = refusal->inKeyboardMap ? *mapPath : scalePath;
  const int line = refusal->problem.line;
  throw hosting::UsageError(path + (line > 0 ? ":" + std::to_string(line) : "") + ": " +
                            refusal->problem.reason);
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
  if (options.tuning)
    applyTuning(*unit, *options.tuning, options.keyboardMap);
  if (options.seed) {
    const auto seeds = hosting::deriveSeeds(*options.seed);
    unit->seedRandomSources(seeds[0], seeds[1], seeds[2]);
  }
  return unit;
}

} // namespace tools
