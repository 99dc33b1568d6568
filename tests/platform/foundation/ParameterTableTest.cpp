// Parameter tables: the checks a table must pass, and the taper between control and value.
#include "platform/foundation/ParameterTable.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

using foundation::ParameterRow, foundation::ParameterTaper, foundation::ParameterUnit;

namespace {

constexpr std::array<std::string_view, 2> kTwoNames{"A", "B"};
constexpr ParameterRow row(std::uint64_t address, std::string_view identifier, float min = 0,
                           float max = 1, float initial = 0,
                           ParameterTaper taper = ParameterTaper::linear,
                           std::span<const std::string_view> names = {}) {
  return {address, identifier, "", min, max, initial, ParameterUnit::generic, taper, names};
}
constexpr auto kLog = ParameterTaper::logarithmic;

template <std::size_t N>
constexpr bool sound(std::array<ParameterRow, N> rows, bool addressOrder = true) {
  return foundation::isSoundTable(rows, addressOrder);
}

// What a table can get wrong is refused at compile time.
static_assert(sound(std::array{row(0, "a"), row(1, "b", 0.001f, 20, 0.005f, kLog),
                               row(2, "c", 0, 1, 0, ParameterTaper::linear, kTwoNames)}));
static_assert(sound(std::array{row(1, "b"), row(0, "a")}, false));
static_assert(!sound(std::array{row(1, "b"), row(0, "a")}));        // out of address order
static_assert(!sound(std::array{row(0, "a"), row(0, "b")}, false)); // an address twice
static_assert(!sound(std::array{row(0, "a"), row(2, "b")}, false)); // a gap
static_assert(!sound(std::array{row(0, "a"), row(1, "a")}));        // an identifier twice
static_assert(!sound(std::array{row(0, "a", 0, 1, 2)}));            // default out of range
static_assert(!sound(std::array{row(0, "a", 1, 1, 1)}));            // an empty range
static_assert(!sound(std::array{row(0, "a", 0, 1, 0.5f, kLog)}));   // a log taper from 0
static_assert(!sound(std::array{row(0, "a", 0, 2, 0, ParameterTaper::linear, kTwoNames)}));

} // namespace

// Both directions of both tapers, in range and beyond it, are in the units' recorded parameter
// listings (tests/data/parameters); what no listing shows is a value that is not a number.
TEST(ParameterTaper, AValueThatIsNotANumberHasNoPosition) {
  constexpr ParameterRow time = row(0, "time", 0.001f, 20, 0.005f, kLog);
  EXPECT_TRUE(std::isnan(positionOfValue(time, std::numeric_limits<float>::quiet_NaN())));
}
