// JUCE's base-64 decoded, strictly: a text JUCE did not write is refused, never guessed at.
#include "plugins/lv2/JuceBase64.h"

#include <charconv>

namespace plugins::lv2 {

namespace {

// The character's six bits, or −1 outside JUCE's alphabet.
int sixBitsOf(char c) noexcept {
  if (c >= 'A' && c <= 'Z')
    return c - 'A' + 1;
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 27;
  if (c >= '0' && c <= '9')
    return c - '0' + 53;
  if (c == '.')
    return 0;
  if (c == '+')
    return 63;
  return -1;
}

} // namespace

std::optional<std::vector<std::uint8_t>> decodeJuceBase64(std::string_view text,
                                                          std::size_t maximumBytes) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos || dot == 0)
    return std::nullopt;
  // Unsigned: a sign, a space or a count past 64 bits is no count.
  std::uint64_t size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + dot, size);
  if (error != std::errc() || end != text.data() + dot || size > maximumBytes)
    return std::nullopt;
  const std::string_view characters = text.substr(dot + 1);
  if (characters.size() != (size * 8 + 5) / 6)
    return std::nullopt;

  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  std::uint32_t pending = 0; // bits read and not yet written, the earliest lowest
  int pendingBits = 0;
  std::size_t written = 0;
  for (const char c : characters) {
    const int bits = sixBitsOf(c);
    if (bits < 0)
      return std::nullopt;
    pending |= static_cast<std::uint32_t>(bits) << pendingBits;
    pendingBits += 6;
    if (pendingBits >= 8 && written < bytes.size()) {
      bytes[written++] = static_cast<std::uint8_t>(pending & 0xFF);
      pending >>= 8;
      pendingBits -= 8;
    }
  }
  // JUCE fills the bits past the last byte with zeros.
  if (pending != 0)
    return std::nullopt;
  return bytes;
}

} // namespace plugins::lv2
