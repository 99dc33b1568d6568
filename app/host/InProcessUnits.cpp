// Registration of the synthesiser and the generator in the in-process component registry.
#include "app/host/InProcessUnits.h"

#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"

namespace app {

namespace {

using pallix::engine::CatalogIndex;
using pallix::unit::PallixAudioUnit;

void anchor() {} // an address inside the app's binary, whose bundle holds the units' resources

using UnitResult = AUResult<std::shared_ptr<AUAudioUnit>>;

template <class Unit> UnitResult widened(AUResult<std::shared_ptr<Unit>> made) {
  if (!made)
    return made.error();
  return std::shared_ptr<AUAudioUnit>(std::move(made).value());
}

} // namespace

const InProcessUnit kInProcessSynthesiser{quorvane::unit::QuorvaneAudioUnit::kDescription,
                                          "Orrinbrook: Quorvane (In-Process)", 0x10000};
const InProcessUnit kInProcessGenerator{PallixAudioUnit::kDescription,
                                        "Orrinbrook: Pallix (In-Process)", 0x10000};

void registerInProcessUnits(const InProcessUnitOptions& options) {
  AUAudioUnit::registerSubclass(
      [seeds = options.synthesiserSeeds](const AudioComponentDescription& description,
                                         AudioComponentInstantiationOptions instantiation) {
        auto made =
            AUAudioUnit::create<quorvane::unit::QuorvaneAudioUnit>(description, instantiation);
        // Before any allocation, which draws the reverb patterns.
        if (made && seeds)
          made.value()->seedRandomSources((*seeds)[0], (*seeds)[1], (*seeds)[2]);
        return widened(std::move(made));
      },
      kInProcessSynthesiser.description, kInProcessSynthesiser.name, kInProcessSynthesiser.version);

  AUAudioUnit::registerSubclass(
      [userCatalogues = options.userCatalogues](const AudioComponentDescription& description,
                                                AudioComponentInstantiationOptions instantiation) {
        std::shared_ptr<const CatalogIndex> catalogue; // null: the process-wide index
        if (!userCatalogues)
          catalogue = std::make_shared<const CatalogIndex>(CatalogIndex::load(
              foundation::Bundle::of(reinterpret_cast<const void*>(&anchor)), std::nullopt));
        return widened(AUAudioUnit::create<PallixAudioUnit>(description, instantiation, nullptr,
                                                            std::move(catalogue)));
      },
      kInProcessGenerator.description, kInProcessGenerator.name, kInProcessGenerator.version);
}

} // namespace app
