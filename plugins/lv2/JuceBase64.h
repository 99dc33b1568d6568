// JUCE's base-64 text of a block of bytes (MemoryBlock::toBase64Encoding), read back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace plugins::lv2 {

// The text is the byte count in decimal, a '.', then one character per six bits, the bytes'
// bits taken least significant first, in JUCE's own alphabet (".A-Za-z0-9+", '.' being 0).
// Nothing unless the text is exactly what JUCE writes for at most maximumBytes bytes: digits
// alone before the dot, as many characters after it as the count needs and no more, none
// outside the alphabet, the last character's unused bits clear. Nothing is allocated before
// the count has been checked against both the bound and the text's length.
std::optional<std::vector<std::uint8_t>> decodeJuceBase64(std::string_view text,
                                                          std::size_t maximumBytes);

} // namespace plugins::lv2
