// Identifier lookup for the synthesiser's parameters.
#include "QuorvaneAU/dsp/QuorvaneParameters.h"

std::optional<std::uint64_t> quorvaneParameterAddress(std::string_view identifier) noexcept {
  for (std::uint64_t a = 0; a < kQuorvaneParameterCount; ++a)
    if (kQuorvaneParameterIdentifiers[a] == identifier)
      return a;
  return std::nullopt;
}
