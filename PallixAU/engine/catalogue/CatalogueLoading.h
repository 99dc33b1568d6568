// Reading every catalogue file of one folder, with a log line for each file.
#pragma once

#include "PallixAU/engine/catalogue/CatalogueFormat.h"

#include "platform/foundation/Log.h"

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <vector>

namespace pallix::engine {

// Far above any hand-written catalogue; a larger file is refused unread rather than parsed.
inline constexpr std::size_t kMaxCatalogFileBytes = std::size_t{2} << 20;

// The index holds a copy of a phrase for every mode and tier it lists, repeats included, so a
// few bytes of repeated names could multiply into gigabytes; the loader admits files while
// their phrases need at most this many index entries in all.
inline constexpr std::size_t kMaxCatalogIndexEntries = 65536;

// The catalogue loader's log: subsystem "com.orrinbrook.pallix", category "load". Any thread.
const foundation::Log& catalogueLog();

// The phrases of every version-4 catalogue in folder (label is "bundle" or "user"): the entries
// ending in ".json" in any case, not descending into sub-folders, in byte order of their names,
// each file's phrases in its own order. A file that cannot be read or decoded, or has another
// version, is skipped whole with an error line naming it, the label and the reason; each loaded
// file gets a line, and the folder a summary when at least one file loaded. A folder that
// cannot be listed gives no phrases and one error line. A file whose phrases need more index
// entries than indexEntriesLeft is skipped too; the entries of loaded files are taken from it.
// Any thread but the render thread.
std::vector<Phrase> loadCatalogueFolder(const std::filesystem::path& folder, std::string_view label,
                                        std::size_t& indexEntriesLeft);

} // namespace pallix::engine
