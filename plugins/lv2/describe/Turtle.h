// Turtle's literals as the descriptions write them: decimals that read back as the same float,
// and quoted strings.
#pragma once

#include <string>
#include <string_view>

namespace plugins::lv2 {

// The shortest decimal that reads back as value, always with a point ("1.0", "0.005").
std::string decimal(float value);
// A quoted string literal, escaped.
std::string quoted(std::string_view text);

} // namespace plugins::lv2
