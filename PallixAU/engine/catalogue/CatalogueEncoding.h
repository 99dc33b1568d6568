// Writing the catalogue model as JSON, every key in the format's order.
#pragma once

#include "PallixAU/engine/catalogue/CatalogueFormat.h"

#include <nlohmann/json.hpp>

namespace pallix::engine {

// Each writes every key of the format, "disableMutations" even when empty, enumerations as
// their spellings and suspension flags as names in bit order. The generator never writes
// catalogues; this is for tools and tests. Any thread but the render thread (allocates).
nlohmann::ordered_json encodeCatalogFile(const CatalogFile& file);
nlohmann::ordered_json encodePhrase(const Phrase& phrase);
nlohmann::ordered_json encodePhraseEvent(const PhraseEvent& event);

} // namespace pallix::engine
