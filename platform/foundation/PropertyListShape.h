// Measures how deep and how large a serialised property list is before libplist builds it:
// libplist parses binary lists and frees every tree recursively, so a file nested a million
// levels deep would overflow the stack inside it, and shared references in a binary list can
// describe far more values than the file has bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace foundation {

// An error message when an XML list nests more than maxDepth dictionaries and arrays; empty
// otherwise (including for text that is not XML at all: libplist judges that). Any thread.
std::string checkXMLPropertyListShape(std::span<const std::uint8_t> bytes, int maxDepth);

// An error message when a binary list ("bplist00") is structurally broken where this walk
// looks, refers to itself, nests deeper than maxDepth or expands to more than maxValues
// values; empty otherwise. Any thread.
std::string checkBinaryPropertyListShape(std::span<const std::uint8_t> bytes, int maxDepth,
                                         std::size_t maxValues);

} // namespace foundation
