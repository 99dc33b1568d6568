// A time:Position object read into the fields it gives.
#pragma once

#include "plugins/lv2/TransportPosition.h"
#include "plugins/lv2/Uris.h"

#include <lv2/atom/atom.h>

#include <optional>

namespace plugins::lv2 {

// The position, or nothing when the object is not a time:Position. Fields of an unexpected
// type are left out. Render thread; never allocates.
std::optional<TransportPosition> readPosition(const LV2_Atom_Object& object,
                                              const Uris& uris) noexcept;

} // namespace plugins::lv2
