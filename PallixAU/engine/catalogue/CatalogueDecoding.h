// Decoding a phrase catalogue file from JSON, all or nothing, with errors that name the field.
#pragma once

#include "PallixAU/engine/catalogue/CatalogueFormat.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pallix::engine {

struct CatalogueDecodingError {
  // The failing field, such as "phrases[3].events[0].vL"; empty when the document as a whole
  // fails (not JSON, nested too deeply, not an object).
  std::string path;
  // Why, such as "300 is out of range 0 to 255" or "unknown suspension flag swing".
  std::string reason;

  // "path: reason", or the reason alone when there is no path; what the loader logs.
  // Any thread.
  std::string description() const;
};

struct CatalogueDecodeResult {
  std::optional<CatalogFile> file; // the whole file, or nothing
  CatalogueDecodingError error;    // why not, when file is empty
};

// Arrays and objects nested deeper than this refuse the document before the parser can go
// further: no catalogue needs more than six levels, and refusing early bounds the work and
// the depth of everything that walks the value.
inline constexpr int kMaxCatalogueNesting = 256;

// Decodes the bytes of a JSON document (UTF-8). The first failing field fails the whole file;
// keys the format does not know are ignored; "modes", "tiers" and "spacingClasses" absent,
// null or [] mean every value, "disableMutations" absent or null means none. The version is
// not checked here. Never throws (out of memory is a failure too). Any thread but the render
// thread.
CatalogueDecodeResult decodeCatalogFile(std::span<const std::uint8_t> bytes) noexcept;

} // namespace pallix::engine
