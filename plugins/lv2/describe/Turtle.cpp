// Decimals and strings for Turtle.
#include "plugins/lv2/describe/Turtle.h"

#include <charconv>
#include <cstdio>

namespace plugins::lv2 {

std::string decimal(float value) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr;
  std::string result(text, end);
  if (result.find('.') == std::string::npos)
    result += ".0";
  return result;
}

std::string quoted(std::string_view text) {
  std::string result = "\"";
  for (const char c : text) {
    switch (c) {
    case '"':
      result += "\\\"";
      break;
    case '\\':
      result += "\\\\";
      break;
    case '\n':
      result += "\\n";
      break;
    case '\r':
      result += "\\r";
      break;
    case '\t':
      result += "\\t";
      break;
    default:
      if (static_cast<unsigned char>(c) < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
        result += escaped;
      } else {
        result += c;
      }
    }
  }
  return result + "\"";
}

} // namespace plugins::lv2
