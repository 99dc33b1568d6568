// The order a file browser shows names in: case-insensitive, runs of digits by their value.
#pragma once

#include <string_view>

namespace foundation {

// Negative, zero or positive as a sorts before, with or after b. ASCII letters compare
// without case; other bytes (UTF-8 included) compare as unsigned bytes; a run of ASCII digits
// compares by numeric value at any length, so "a2" < "a10" and "2-Pad" < "10-Lead" < "Bass-1".
// Names equal under those rules are ordered by fewer leading zeros first ("7" < "007"), then
// by their plain bytes ("Pad" < "pad"), so zero means equal strings and the order is a strict
// weak (indeed total) order usable with std::sort. Any thread, real-time safe.
int naturalCompare(std::string_view a, std::string_view b) noexcept;

// naturalCompare(a, b) < 0. Any thread, real-time safe.
bool naturalLess(std::string_view a, std::string_view b) noexcept;

} // namespace foundation
