// The catalogue index: where the two sources are, how phrases are filed, the shared instance.
#include "PallixAU/engine/catalogue/CatalogIndex.h"

#include "PallixAU/engine/catalogue/CatalogueLoading.h"

#include "platform/foundation/UserFolders.h"

#include <set>
#include <system_error>

namespace pallix::engine {

namespace fs = std::filesystem;

namespace {

void anchor() {} // an address inside the generator's binary, to find its bundle

} // namespace

CatalogIndex::CatalogIndex(std::vector<Phrase> phrases) : all(std::move(phrases)) {
  for (const auto& phrase : all)
    for (const Mode mode : phrase.modes)
      for (const Tier tier : phrase.tiers)
        byKey[Key{phrase.slot, mode, tier}].push_back(phrase);
}

CatalogIndex CatalogIndex::load(const foundation::Bundle& bundle,
                                const std::optional<fs::path>& userFolder) {
  std::vector<Phrase> phrases;
  std::size_t indexEntriesLeft = kMaxCatalogIndexEntries;
  if (const auto folder = bundle.resourceFolder("Catalogues"))
    phrases = loadCatalogueFolder(*folder, "bundle", indexEntriesLeft);
  if (userFolder) {
    // Only a path with nothing at it is silent; a file there, or a folder we may not look
    // into, is reported by the listing.
    std::error_code error;
    if (fs::status(*userFolder, error).type() != fs::file_type::not_found) {
      auto user = loadCatalogueFolder(*userFolder, "user", indexEntriesLeft);
      phrases.insert(phrases.end(), std::make_move_iterator(user.begin()),
                     std::make_move_iterator(user.end()));
    }
  }
  return CatalogIndex(std::move(phrases));
}

const CatalogIndex& CatalogIndex::shared() noexcept {
  static const CatalogIndex index = []() noexcept {
    try {
      return load(foundation::Bundle::of(reinterpret_cast<const void*>(&anchor)),
                  foundation::userCataloguesFolder());
    } catch (...) {
      // Only memory exhaustion gets here; the generator then plays without fills.
      return CatalogIndex();
    }
  }();
  return index;
}

const std::vector<std::string>& CatalogIndex::sharedFamilies() noexcept {
  static const std::vector<std::string> families = []() noexcept {
    try {
      return shared().familyNames();
    } catch (...) {
      return std::vector<std::string>();
    }
  }();
  return families;
}

const std::vector<Phrase>& CatalogIndex::phrases(SlotTag slot, bool minor,
                                                 Tier tier) const noexcept {
  static const std::vector<Phrase> none;
  const auto found = byKey.find(Key{slot, minor ? Mode::minor : Mode::major, tier});
  return found != byKey.end() ? found->second : none;
}

std::vector<std::string> CatalogIndex::familyNames() const {
  std::set<std::string> families; // std::less<std::string> compares as unsigned bytes
  for (const auto& phrase : all)
    families.insert(phrase.family);
  return {families.begin(), families.end()};
}

} // namespace pallix::engine
