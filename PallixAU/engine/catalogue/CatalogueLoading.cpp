// Catalogue files of one folder: listing, reading, decoding, the version check and the log.
#include "PallixAU/engine/catalogue/CatalogueLoading.h"

#include "PallixAU/engine/catalogue/CatalogueDecoding.h"

#include "platform/foundation/Files.h"

#include <cctype>
#include <string>

namespace pallix::engine {

namespace fs = std::filesystem;

namespace {

bool hasJsonExtension(const fs::path& entry) {
  std::string extension = entry.extension().string();
  for (char& c : extension)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".json";
}

std::string skipping(const std::string& name, std::string_view label) {
  return "skipping " + name + " (" + std::string(label) + "): ";
}

} // namespace

const foundation::Log& catalogueLog() {
  static const foundation::Log log("com.orrinbrook.pallix", "load");
  return log;
}

std::vector<Phrase> loadCatalogueFolder(const fs::path& folder, std::string_view label,
                                        std::size_t& indexEntriesLeft) {
  const foundation::Log& log = catalogueLog();
  std::vector<Phrase> phrases;
  std::string error;
  const auto entries =
      foundation::listFolder(folder, &error); // without hidden names, in byte order
  if (!entries) {
    log.error(std::string(label) + " catalogues unreadable: " + folder.string() + " \u2014 " +
              error);
    return phrases;
  }
  long filesLoaded = 0;
  for (const fs::path& entry : *entries) {
    if (!hasJsonExtension(entry))
      continue;
    const std::string name = entry.filename().string();
    // A folder or device named x.json fails here too: readWholeFile takes regular files only.
    const auto bytes = foundation::readWholeFile(entry, kMaxCatalogFileBytes, &error);
    if (!bytes) {
      log.error(skipping(name, label) + error);
      continue;
    }
    auto decoded = decodeCatalogFile(*bytes);
    if (!decoded.file) {
      log.error(skipping(name, label) + decoded.error.description());
      continue;
    }
    CatalogFile& file = *decoded.file;
    if (file.version != kCatalogueVersion) {
      log.error(skipping(name, label) + "version " + std::to_string(file.version) + " (expected " +
                std::to_string(kCatalogueVersion) + ")");
      continue;
    }
    std::size_t indexEntries = 0; // a file within the size cap holds under 2^21 names: no overflow
    for (const auto& phrase : file.phrases)
      indexEntries += phrase.modes.size() * phrase.tiers.size();
    if (indexEntries > indexEntriesLeft) {
      log.error(skipping(name, label) + "more than " + std::to_string(kMaxCatalogIndexEntries) +
                " index entries in all");
      continue;
    }
    indexEntriesLeft -= indexEntries;
    const std::size_t count = file.phrases.size();
    phrases.insert(phrases.end(), std::make_move_iterator(file.phrases.begin()),
                   std::make_move_iterator(file.phrases.end()));
    ++filesLoaded;
    log.info("loaded " + std::string(label) + " catalogue " + name + ": " + std::to_string(count) +
             " phrases");
  }
  if (filesLoaded > 0)
    log.info("loaded " + std::to_string(filesLoaded) + " " + std::string(label) +
             " catalogue file(s), " + std::to_string(phrases.size()) + " phrases total");
  return phrases;
}

} // namespace pallix::engine
