// The generator's eight parameters by address: the six E knobs, root note and mode.
#pragma once

#include "platform/audiounit/AUParameterTypes.h"

#include <cstddef>
#include <optional>

namespace pallix::engine {

// Hosts store automation and saved sessions by address, so the values never change. The tree
// lists the parameters in another order (makePallixParameterTree).
enum class PallixParameter : AUParameterAddress {
  embroidery = 0,
  easiness = 1,
  etiquette = 2,
  exotica = 3,
  rootNote = 4,
  mode = 5,
  emotion = 6,
  evolution = 7,
};

// The addresses run from 0 to one below this, without gaps.
inline constexpr std::size_t kPallixParameterCount = 8;

constexpr AUParameterAddress addressOf(PallixParameter parameter) noexcept {
  return static_cast<AUParameterAddress>(parameter);
}

// The parameter at a host's address; none beyond the eight.
constexpr std::optional<PallixParameter> pallixParameterAt(AUParameterAddress address) noexcept {
  if (address >= kPallixParameterCount)
    return std::nullopt;
  return static_cast<PallixParameter>(address);
}

} // namespace pallix::engine
