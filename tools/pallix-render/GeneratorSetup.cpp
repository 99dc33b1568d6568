// Builds the generator unit a run asks for and connects it to the tool as its host.
#include "tools/pallix-render/GeneratorSetup.h"

#include "PallixAU/unit/PallixAudioUnit.h"
#include "hosting/HostTimeline.h"
#include "platform/foundation/UserFolders.h"
#include "tools/common/UnitSetup.h"
#include "tools/pallix-render/MidiCapture.h"

#include <algorithm>
#include <stdexcept>

namespace tools {

namespace {

using pallix::engine::CatalogIndex;
using pallix::unit::PallixAudioUnit;

void forceFamily(PallixAudioUnit& unit, const std::string& family) {
  const auto& families = unit.allFamilies();
  if (std::find(families.begin(), families.end(), family) == families.end())
    throw hosting::UsageError("--family: unknown phrase family " + hosting::inQuotes(family) +
                              " (known: " + hosting::listOf(families) + ")");
  unit.setForcedFamily(family);
  if (unit.forcedFamily() != family)
    throw hosting::UsageError("--family: " + hosting::inQuotes(family) +
                              " is beyond the families that can be forced");
}

} // namespace

std::shared_ptr<PallixAudioUnit> makeGenerator(const GeneratorOptions& options) {
  std::shared_ptr<const FactoryPresetCatalogue> presets;
  std::shared_ptr<const CatalogIndex> catalogue;
  if (options.resources) {
    const foundation::Bundle bundle = foundation::Bundle::withResourcesFolder(*options.resources);
    presets = std::make_shared<const FactoryPresetCatalogue>(bundle, "pallix-presets");
    catalogue = std::make_shared<const CatalogIndex>(
        CatalogIndex::load(bundle, foundation::userCataloguesFolder()));
  }
  auto created =
      AUAudioUnit::create<PallixAudioUnit>(PallixAudioUnit::kDescription, 0, presets, catalogue);
  if (!created)
    throw std::runtime_error("cannot create the generator: " +
                             created.error().localizedDescription());
  std::shared_ptr<PallixAudioUnit> unit = std::move(created).value();
  applyUnitOptions(*unit, options);
  if (options.family)
    forceFamily(*unit, *options.family);
  return unit;
}

void connectGenerator(PallixAudioUnit& unit, const GeneratorOptions& options,
                      std::shared_ptr<hosting::HostTimeline> timeline,
                      std::shared_ptr<MidiCapture> capture) {
  unit.setMIDIOutputEventBlock(
      [capture](AUEventSampleTime time, std::uint8_t, int length, const std::uint8_t* bytes) {
        capture->add(time, length, bytes);
        return noErr;
      });
  unit.setMusicalContextBlock([timeline](double* tempo, double* numerator, long* denominator,
                                         double* beat, long* toNextBeat, double* downbeat) {
    return timeline->musicalContext(tempo, numerator, denominator, beat, toNextBeat, downbeat);
  });
  unit.setTransportStateBlock(
      [timeline](AUHostTransportStateFlags* flags, double* position, double* start, double* end) {
        return timeline->transportState(flags, position, start, end);
      });
  allocateUnit(unit, options, "generator");
}

} // namespace tools
