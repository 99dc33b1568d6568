// Tests of natural file-name ordering: the examples a file browser shows, and the laws
// std::sort relies on.
#include "platform/foundation/NaturalOrder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace foundation;

TEST(NaturalOrder, OrdersNamesAsAFileBrowserDoes) {
  // The preset menu's order of user files is the preset manager's test. Each pair in order: the
  // value decides before the zeros do; '-' sorts before the digits, letters after; UTF-8 bytes
  // after ASCII; ties are broken so only equal strings are equal.
  const std::vector<std::pair<std::string, std::string>> pairs{
      {"a2", "a10"},   {"file99999999999999999999", "file100000000000000000000"},
      {"x9y", "x09z"}, {"apple", "Banana"},
      {"a", "a1"},     {"a-b", "a0"},
      {"a9", "aa"},    {"z", "\xc3\xa9"},
      {"7", "007"},    {"Pad", "pad"},
      {"", "a"}};
  for (const auto& [less, more] : pairs)
    EXPECT_TRUE(naturalLess(less, more) && !naturalLess(more, less)) << less << " | " << more;
  EXPECT_EQ(naturalCompare("01-Warm Pad", "01-Warm Pad"), 0);
  EXPECT_EQ(naturalCompare("", ""), 0);
}

TEST(NaturalOrder, IsAStrictTotalOrderOnRandomNames) {
  const auto seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  // Few symbols, so that ties, shared prefixes and digit runs are common.
  const std::vector<std::string> symbols{"0", "00", "1", "2", "9", "10",
                                         "a", "A",  "b", "-", ".", "\xc3\xa9"};
  const auto name = [&] {
    std::string s;
    for (int n = static_cast<int>(random() % 5); n > 0; --n)
      s += symbols[random() % symbols.size()];
    return s;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string a = name(), b = name(), c = name();
    const int ab = naturalCompare(a, b);
    ASSERT_EQ(ab == 0, a == b) << a << " | " << b;
    ASSERT_EQ(naturalCompare(b, a), -ab) << a << " | " << b;
    ASSERT_FALSE(naturalLess(a, a));
    if (naturalLess(a, b) && naturalLess(b, c)) {
      ASSERT_TRUE(naturalLess(a, c)) << a << " | " << b << " | " << c;
    }
  }
}
