// Natural file-name ordering.
#include "platform/foundation/NaturalOrder.h"

#include <cstddef>

namespace foundation {

namespace {

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

unsigned char folded(char c) noexcept {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

int sign(int value) noexcept { return (value > 0) - (value < 0); }

} // namespace

int naturalCompare(std::string_view a, std::string_view b) noexcept {
  std::size_t i = 0, j = 0;
  int zerosTieBreak = 0; // the first difference in leading zeros, used only if all else ties
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      const std::size_t startA = i, startB = j;
      while (i < a.size() && a[i] == '0')
        ++i;
      while (j < b.size() && b[j] == '0')
        ++j;
      const std::size_t zerosA = i - startA, zerosB = j - startB;
      const std::size_t significantA = i, significantB = j;
      while (i < a.size() && isDigit(a[i]))
        ++i;
      while (j < b.size() && isDigit(b[j]))
        ++j;
      const std::size_t lengthA = i - significantA, lengthB = j - significantB;
      if (lengthA != lengthB)
        return lengthA < lengthB ? -1 : 1;
      const int digits = a.substr(significantA, lengthA).compare(b.substr(significantB, lengthB));
      if (digits != 0)
        return sign(digits);
      if (zerosTieBreak == 0 && zerosA != zerosB)
        zerosTieBreak = zerosA < zerosB ? -1 : 1;
      continue;
    }
    // A digit against anything else compares by its byte: every digit run thus sorts after
    // the bytes below '0' and before those above '9', consistently.
    const unsigned char ca = folded(a[i]), cb = folded(b[j]);
    if (ca != cb)
      return ca < cb ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size() || j < b.size())
    return i < a.size() ? 1 : -1; // a prefix first
  if (zerosTieBreak != 0)
    return zerosTieBreak;
  return sign(a.compare(b));
}

bool naturalLess(std::string_view a, std::string_view b) noexcept {
  return naturalCompare(a, b) < 0;
}

} // namespace foundation
