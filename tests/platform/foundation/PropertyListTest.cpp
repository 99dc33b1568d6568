// Tests of the property-list value: XML round trips, binary input, and hostile bytes.
#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <limits>

using namespace foundation;

namespace {

using Bytes = std::vector<std::uint8_t>;
using PL = PropertyList;

PL::ReadResult readText(std::string_view text) {
  return PL::read({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

PL roundTrip(const PL& value) {
  auto result = readText(value.toXML());
  EXPECT_EQ(result.error, "");
  return result.value.value_or(PL(std::string("unreadable")));
}

// libplist's own binary writer, for input we did not write ourselves.
Bytes binaryOf(plist_t root) {
  char* raw = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(root, &raw, &length);
  Bytes bytes(raw, raw + length);
  std::free(raw);
  plist_free(root);
  return bytes;
}

// A binary list built by hand from encoded objects (one-byte references, root 0), for
// shapes no writer produces: cycles and references shared many times over.
Bytes handMadeBinary(const std::vector<Bytes>& objects) {
  Bytes out{'b', 'p', 'l', 'i', 's', 't', '0', '0'}, offsets;
  for (const auto& object : objects) {
    offsets.push_back(static_cast<std::uint8_t>(out.size()));
    out.insert(out.end(), object.begin(), object.end());
  }
  Bytes trailer(32, 0);
  trailer[6] = trailer[7] = 1;                             // offset and reference sizes
  trailer[15] = static_cast<std::uint8_t>(objects.size()); // object count
  trailer[31] = static_cast<std::uint8_t>(out.size());     // offset table start
  out.insert(out.end(), offsets.begin(), offsets.end());
  out.insert(out.end(), trailer.begin(), trailer.end());
  return out;
}

std::string nested(int depth) {
  std::string text = "<plist version=\"1.0\">";
  for (int i = 0; i < depth; ++i)
    text += "<array>";
  for (int i = 0; i < depth; ++i)
    text += "</array>";
  return text + "</plist>";
}

} // namespace

TEST(PropertyList, EveryKindSurvivesXMLAndAnswersOnlyForItsKind) {
  PL::Data longData(200);
  for (std::size_t i = 0; i < longData.size(); ++i)
    longData[i] = static_cast<std::uint8_t>(i * 37);
  constexpr double inf = std::numeric_limits<double>::infinity();
  const PL value(PL::Dictionary{
      {"strings", PL::Array{"", "plain", "<&>\"'", "tab\tline\ncr\r end", "\x01\x1f",
                            "caf\xc3\xa9 \xe2\x82\xac", "\xff\xfe not UTF-8"}},
      {"integers", PL::Array{0, -1, std::numeric_limits<std::int64_t>::min(),
                             std::numeric_limits<std::int64_t>::max()}},
      {"reals",
       PL::Array{0.1, -2.5e-310, 1e308, 0.2f, inf, -inf, std::numeric_limits<double>::quiet_NaN()}},
      {"booleans", PL::Array{true, false}},
      {"data", PL::Array{PL::Data{}, PL::Data{1}, PL::Data{1, 2}, PL::Data{0, 255, 7}, longData}},
      {"dates", PL::Array{PL::Date{0}, PL::Date{-86400 * 365.0}, PL::Date{700000000}}},
      {"empty", PL::Dictionary{}},
      {"nested", PL::Array{PL::Array{}, PL::Dictionary{{"k", 1}}}},
      {"key <&> with escapes", "x"},
  });
  EXPECT_EQ(roundTrip(value), value);
  for (const PL& root : {PL("a string root"), PL(42), PL(PL::Array{1, "two"})})
    EXPECT_EQ(roundTrip(root), root);

  // What XML cannot carry is dropped: NULs in strings, fractions of seconds in dates.
  EXPECT_EQ(roundTrip(PL(std::string("a\0b", 3))), PL("ab"));
  EXPECT_EQ(roundTrip(PL(PL::Date{12.75})), PL(PL::Date{12}));
  EXPECT_TRUE(PL(PL::Dictionary{{"a", 1}}).toXML().starts_with("<?xml version=\"1.0\""));

  // Accessors answer only for their kind.
  EXPECT_EQ(PL(3).number(), 3.0);
  EXPECT_EQ(PL(true).number(), std::nullopt);
  EXPECT_EQ(PL("1").number(), std::nullopt);
  EXPECT_NE(PL(1), PL(1.0));
  EXPECT_EQ(PL(std::numeric_limits<std::uint64_t>::max()).kind(), PL::Kind::real);
}

TEST(PropertyList, ReadsBinaryListsAndRootsOfAnyKind) {
  plist_t params = plist_new_array(), root = plist_new_dict();
  plist_array_append_item(params, plist_new_uint(5));
  for (auto [key, node] : {std::pair{"name", plist_new_string("Bass")},
                           {"negative", plist_new_uint(static_cast<std::uint64_t>(-7))},
                           {"gain", plist_new_real(0.25)},
                           {"on", plist_new_bool(1)},
                           {"blob", plist_new_data("\x00\x01", 2)},
                           {"when", plist_new_date(3600, 0)},
                           {"params", params}})
    plist_dict_set_item(root, key, node);
  const auto result = PL::read(binaryOf(root));
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.value, PL(PL::Dictionary{{"name", "Bass"},
                                            {"negative", -7},
                                            {"gain", 0.25},
                                            {"on", true},
                                            {"blob", PL::Data{0, 1}},
                                            {"when", PL::Date{3600}},
                                            {"params", PL::Array{5}}}));

  // Unsigned values beyond INT64_MAX become reals rather than wrapping to negative numbers.
  const auto huge = readText("<plist><array><integer>18446744073709551615</integer>"
                             "<integer>-9223372036854775808</integer></array></plist>");
  ASSERT_EQ(huge.error, "");
  EXPECT_EQ(huge.value,
            PL(PL::Array{18446744073709551615.0, std::numeric_limits<std::int64_t>::min()}));
  // A keyed archive's UIDs, inside an array: nothing of it is read.
  plist_t uids = plist_new_array();
  plist_array_append_item(uids, plist_new_uid(3));
  const auto archive = PL::read(binaryOf(uids));
  EXPECT_TRUE(!archive.value && !archive.error.empty()) << archive.error;
}

TEST(PropertyList, MalformedInputGivesAnError) {
  EXPECT_EQ(PL::read({}).error, "empty input");
  for (const char* text :
       {"<plist><dict><key>a</key><integer>1</integer>", "{\"not\": \"a plist\"}", "bplist00"})
    EXPECT_NE(readText(text).error, "") << text;

  // libplist would abort the process on a key with a NUL in it; a key must also be a string.
  EXPECT_NE(PL::read(handMadeBinary({{0xD1, 1, 2}, {0x52, 'a', 0}, {0x09}})).error, "");
  EXPECT_NE(PL::read(handMadeBinary({{0xD1, 1, 2}, {0x10, 5}, {0x09}})).error, "");
  EXPECT_EQ(PL::read(handMadeBinary({{0xD1, 1, 2}, {0x51, 'a'}, {0x09}})).value,
            PL(PL::Dictionary{{"a", true}}));

  // Every truncation of a binary list loses its trailer.
  plist_t root = plist_new_dict();
  plist_dict_set_item(root, "text", plist_new_string("some words"));
  const Bytes whole = binaryOf(root);
  for (std::size_t length = 1; length < whole.size(); ++length) {
    const auto result = PL::read({whole.data(), length});
    EXPECT_FALSE(result.value) << "prefix of " << length;
    EXPECT_NE(result.error, "");
  }
}

TEST(PropertyList, RefusesNestingAndExpansionThatWouldExhaustTheStackOrMemory) {
  EXPECT_EQ(readText(nested(PL::kMaxDepth)).error, "");
  EXPECT_NE(readText(nested(PL::kMaxDepth + 1)).error.find("deeper"), std::string::npos);
  EXPECT_NE(readText(nested(1'000'000)).error, ""); // would overflow the stack inside libplist
  // Nesting hidden in a comment does not count.
  EXPECT_EQ(readText("<plist><!-- " + nested(600) + " --><array/></plist>").error, "");

  plist_t deep = plist_new_array();
  for (int i = 0; i < PL::kMaxDepth; ++i) {
    plist_t outer = plist_new_array();
    plist_array_append_item(outer, deep);
    deep = outer;
  }
  EXPECT_NE(PL::read(binaryOf(deep)).error.find("deeper"), std::string::npos);

  // An array that contains itself.
  EXPECT_NE(PL::read(handMadeBinary({{0xA1, 0}})).error, "");
  // Forty arrays, each holding the next twice: 2^40 values from a few hundred bytes.
  std::vector<Bytes> objects;
  for (std::uint8_t i = 0; i < 40; ++i)
    objects.push_back({0xA2, static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 1)});
  objects.push_back({0x09});
  EXPECT_NE(PL::read(handMadeBinary(objects)).error.find("values"), std::string::npos);
  objects.resize(3);
  objects[2] = {0x09};
  EXPECT_EQ(PL::read(handMadeBinary(objects)).value,
            PL(PL::Array{PL::Array{true, true}, PL::Array{true, true}}));
}
