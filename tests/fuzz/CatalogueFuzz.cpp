// Phrase catalogues of any bytes: decoding never fails but by its error, and a catalogue the
// loader would admit plays cleanly, every phrase able to be chosen, in each mode and meter.
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/FuzzUnits.h"
#include "tests/fuzz/SteadyPlay.h"

#include "PallixAU/engine/catalogue/CatalogIndex.h"
#include "PallixAU/engine/catalogue/CatalogueDecoding.h"
#include "PallixAU/engine/catalogue/CatalogueLoading.h"

#include <array>

namespace fuzz {

namespace {

using pallix::engine::PallixParameter;

// Far below the loader's budget: what one input may cost to index and play.
constexpr std::size_t kMaxIndexEntries = 4096;

struct Setting {
  hosting::Meter meter;
  float mode;
  float etiquette; // picks the tier
};
constexpr std::array<Setting, 3> kSettings{
    {{{4, 4}, 0.0f, 0.0f}, {{12, 8}, 1.0f, 0.5f}, {{3, 4}, 1.0f, 1.0f}}};

} // namespace

Verdict catalogue(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > pallix::engine::kMaxCatalogFileBytes)
    return {};
  const auto decoded = pallix::engine::decodeCatalogFile(bytes);
  if (!decoded.file) {
    if (decoded.error.reason.empty())
      return "a refused catalogue without a reason";
    return {};
  }
  if (decoded.file->version != pallix::engine::kCatalogueVersion)
    return {};
  std::size_t entries = 0;
  for (const auto& phrase : decoded.file->phrases)
    entries += phrase.modes.size() * phrase.tiers.size();
  if (entries > kMaxIndexEntries)
    return {};

  const auto index = std::make_shared<const pallix::engine::CatalogIndex>(decoded.file->phrases);
  for (const Setting& setting : kSettings) {
    auto unit = makeGenerator(index);
    // Fills, turnarounds and mutations as often as the generator plays them.
    for (const auto& [parameter, value] : {std::pair{PallixParameter::embroidery, 1.0f},
                                           {PallixParameter::exotica, 1.0f},
                                           {PallixParameter::mode, setting.mode},
                                           {PallixParameter::etiquette, setting.etiquette},
                                           {PallixParameter::rootNote, 11.0f}})
      unit->parameterTree()->parameterWithAddress(addressOf(parameter))->setValue(value);
    SteadyPlay play;
    play.meter = setting.meter;
    play.frames = static_cast<std::int64_t>(play.sampleRate * 60.0 / play.tempo *
                                            setting.meter.quartersPerBar() * 24.0); // two choruses
    if (Verdict fault = playGenerator(*unit, play); !fault.empty())
      return fault;
  }
  return {};
}

} // namespace fuzz
