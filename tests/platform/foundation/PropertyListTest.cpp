// Tests of the property-list value: XML round trips, binary input, and hostile bytes.
#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

PropertyList::ReadResult readText(std::string_view text) {
  return PropertyList::read({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

PropertyList roundTrip(const PropertyList& value) {
  auto result = readText(value.toXML());
  EXPECT_EQ(result.error, "");
  return result.value.value_or(PropertyList(std::string("unreadable")));
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
  Bytes out{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
  Bytes offsets;
  for (const auto& object : objects) {
    offsets.push_back(static_cast<std::uint8_t>(out.size()));
    out.insert(out.end(), object.begin(), object.end());
  }
  const auto tableStart = static_cast<std::uint8_t>(out.size());
  out.insert(out.end(), offsets.begin(), offsets.end());
  Bytes trailer(32, 0);
  trailer[6] = 1;                                          // offset size
  trailer[7] = 1;                                          // reference size
  trailer[15] = static_cast<std::uint8_t>(objects.size()); // object count
  trailer[31] = tableStart;
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

TEST(PropertyList, EveryKindSurvivesXML) {
  PropertyList::Data longData(200);
  for (std::size_t i = 0; i < longData.size(); ++i)
    longData[i] = static_cast<std::uint8_t>(i * 37);
  const PropertyList value(PropertyList::Dictionary{
      {"strings", PropertyList::Array{"", "plain", "<&>\"'", "tab\tline\ncr\r end", "\x01\x1f",
                                      "caf\xc3\xa9 \xe2\x82\xac", "\xff\xfe not UTF-8"}},
      {"integers", PropertyList::Array{0, -1, std::numeric_limits<std::int64_t>::min(),
                                       std::numeric_limits<std::int64_t>::max()}},
      {"reals",
       PropertyList::Array{0.1, -2.5e-310, 1e308, 0.2f, std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()}},
      {"booleans", PropertyList::Array{true, false}},
      {"data",
       PropertyList::Array{PropertyList::Data{}, PropertyList::Data{1}, PropertyList::Data{1, 2},
                           PropertyList::Data{0, 255, 7}, longData}},
      {"dates", PropertyList::Array{PropertyList::Date{0}, PropertyList::Date{-86400 * 365.0},
                                    PropertyList::Date{700000000}}},
      {"empty", PropertyList::Dictionary{}},
      {"nested", PropertyList::Array{PropertyList::Array{}, PropertyList::Dictionary{{"k", 1}}}},
      {"key <&> with escapes", "x"},
  });
  EXPECT_EQ(roundTrip(value), value);
  for (const PropertyList& root : {PropertyList("a string root"), PropertyList(42),
                                   PropertyList(PropertyList::Array{1, "two"})})
    EXPECT_EQ(roundTrip(root), root);
}

TEST(PropertyList, XMLIsAStandardDocumentAndDropsWhatItCannotCarry) {
  const std::string xml = PropertyList(PropertyList::Dictionary{{"a", 1}}).toXML();
  EXPECT_TRUE(xml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist "));
  EXPECT_NE(xml.find("<plist version=\"1.0\">\n<dict>\n\t<key>a</key>\n\t<integer>1</integer>"),
            std::string::npos);
  EXPECT_TRUE(xml.ends_with("</plist>\n"));

  EXPECT_EQ(roundTrip(PropertyList(std::string("a\0b", 3))), PropertyList("ab"));
  EXPECT_EQ(roundTrip(PropertyList(PropertyList::Date{12.75})),
            PropertyList(PropertyList::Date{12}));
}

TEST(PropertyList, AccessorsAnswerOnlyForTheirKind) {
  const PropertyList empty;
  ASSERT_NE(empty.dictionary(), nullptr);
  EXPECT_TRUE(empty.dictionary()->empty());
  EXPECT_EQ(PropertyList(3).number(), 3.0);
  EXPECT_EQ(PropertyList(2.5f).real(), 2.5);
  EXPECT_EQ(PropertyList(true).number(), std::nullopt);
  EXPECT_EQ(PropertyList(true).integer(), std::nullopt);
  EXPECT_EQ(PropertyList("1").number(), std::nullopt);
  EXPECT_EQ(PropertyList(1).find("x"), nullptr);
  EXPECT_NE(PropertyList(1), PropertyList(1.0));
  EXPECT_EQ(PropertyList(std::uint32_t{0x61756D75}).integer(), 0x61756D75);
  EXPECT_EQ(PropertyList(std::numeric_limits<std::uint64_t>::max()).kind(),
            PropertyList::Kind::real);

  PropertyList state;
  (*state.dictionary())["name"] = "Warm";
  ASSERT_NE(state.find("name"), nullptr);
  EXPECT_EQ(*state.find("name")->string(), "Warm");
}

TEST(PropertyList, ReadsBinaryListsAndRootsOfAnyKind) {
  plist_t root = plist_new_dict();
  plist_dict_set_item(root, "name", plist_new_string("Bass"));
  plist_dict_set_item(root, "negative", plist_new_uint(static_cast<std::uint64_t>(-7)));
  plist_dict_set_item(root, "gain", plist_new_real(0.25));
  plist_dict_set_item(root, "on", plist_new_bool(1));
  plist_dict_set_item(root, "blob", plist_new_data("\x00\x01", 2));
  plist_dict_set_item(root, "when", plist_new_date(3600, 0));
  plist_t params = plist_new_array();
  plist_array_append_item(params, plist_new_uint(5));
  plist_dict_set_item(root, "params", params);
  const auto result = PropertyList::read(binaryOf(root));
  ASSERT_EQ(result.error, "");
  const PropertyList expected(PropertyList::Dictionary{
      {"name", "Bass"},
      {"negative", -7},
      {"gain", 0.25},
      {"on", true},
      {"blob", PropertyList::Data{0, 1}},
      {"when", PropertyList::Date{3600}},
      {"params", PropertyList::Array{5}},
  });
  EXPECT_EQ(result.value, expected);

  // Unsigned values beyond INT64_MAX become reals rather than wrapping to negative numbers.
  const auto huge = readText("<plist><array><integer>18446744073709551615</integer>"
                             "<integer>-9223372036854775808</integer></array></plist>");
  ASSERT_EQ(huge.error, "");
  EXPECT_EQ(huge.value->array()->at(0), PropertyList(18446744073709551615.0));
  EXPECT_EQ(huge.value->array()->at(1).integer(), std::numeric_limits<std::int64_t>::min());

  const auto array = readText("<plist><array><string>x</string></array></plist>");
  ASSERT_EQ(array.error, "");
  EXPECT_EQ(array.value->dictionary(), nullptr);

  EXPECT_NE(PropertyList::read(binaryOf(plist_new_uid(3))).error, "");
}

TEST(PropertyList, MalformedInputGivesAnError) {
  EXPECT_EQ(PropertyList::read({}).error, "empty input");
  EXPECT_NE(readText("<plist><dict><key>a</key><integer>1</integer>").error, "");
  EXPECT_NE(readText("{\"not\": \"a plist\"}").error, "");
  EXPECT_NE(readText("bplist00").error, "");

  // libplist would abort the process on a key with a NUL in it; a key must also be a string.
  EXPECT_NE(PropertyList::read(handMadeBinary({{0xD1, 1, 2}, {0x52, 'a', 0}, {0x09}})).error, "");
  EXPECT_NE(PropertyList::read(handMadeBinary({{0xD1, 1, 2}, {0x10, 5}, {0x09}})).error, "");
  EXPECT_EQ(PropertyList::read(handMadeBinary({{0xD1, 1, 2}, {0x51, 'a'}, {0x09}})).value,
            PropertyList(PropertyList::Dictionary{{"a", true}}));

  // Every truncation of a binary list loses its trailer.
  plist_t root = plist_new_dict();
  plist_dict_set_item(root, "text", plist_new_string("some words"));
  const Bytes whole = binaryOf(root);
  for (std::size_t length = 1; length < whole.size(); ++length) {
    const auto result = PropertyList::read({whole.data(), length});
    EXPECT_FALSE(result.value) << "prefix of " << length;
    EXPECT_NE(result.error, "");
  }
}

TEST(PropertyList, RandomAndMutatedBytesNeverCrash) {
  const auto seed = std::random_device{}();
  std::cout << "seed " << seed << '\n';
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);

  plist_t root = plist_new_dict();
  plist_dict_set_item(root, "a", plist_new_string("text"));
  plist_t array = plist_new_array();
  plist_array_append_item(array, plist_new_real(1.5));
  plist_array_append_item(array, plist_new_uint(300));
  plist_dict_set_item(root, "b", array);
  const Bytes binary = binaryOf(root);
  const std::string xml =
      PropertyList(PropertyList::Dictionary{{"a", PropertyList::Array{1}}}).toXML();

  for (int round = 0; round < 3000; ++round) {
    Bytes bytes;
    switch (round % 3) {
    case 0:
      bytes.resize(random() % 64);
      for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
      break;
    case 1:
      bytes = binary;
      break;
    case 2:
      bytes.assign(xml.begin(), xml.end());
      break;
    }
    for (int flips = round % 3 == 0 ? 0 : 1 + random() % 4; flips > 0; --flips)
      bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
    const auto result = PropertyList::read(bytes);
    EXPECT_EQ(result.value.has_value(), result.error.empty());
  }
}

TEST(PropertyList, RefusesNestingAndExpansionThatWouldExhaustTheStackOrMemory) {
  EXPECT_EQ(readText(nested(PropertyList::kMaxDepth)).error, "");
  EXPECT_NE(readText(nested(PropertyList::kMaxDepth + 1)).error.find("deeper"), std::string::npos);
  EXPECT_NE(readText(nested(1'000'000)).error, ""); // would overflow the stack inside libplist
  // Nesting hidden in a comment does not count.
  EXPECT_EQ(readText("<plist><!-- " + nested(600) + " --><array/></plist>").error, "");

  plist_t deep = plist_new_array();
  for (int i = 0; i < PropertyList::kMaxDepth; ++i) {
    plist_t outer = plist_new_array();
    plist_array_append_item(outer, deep);
    deep = outer;
  }
  EXPECT_NE(PropertyList::read(binaryOf(deep)).error.find("deeper"), std::string::npos);

  // An array that contains itself.
  EXPECT_NE(PropertyList::read(handMadeBinary({{0xA1, 0}})).error, "");
  // Forty arrays, each holding the next twice: 2^40 values from a few hundred bytes.
  std::vector<Bytes> objects;
  for (std::uint8_t i = 0; i < 40; ++i)
    objects.push_back({0xA2, static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 1)});
  objects.push_back({0x09});
  EXPECT_NE(PropertyList::read(handMadeBinary(objects)).error.find("values"), std::string::npos);
  objects.resize(3);
  objects[2] = {0x09};
  EXPECT_EQ(PropertyList::read(handMadeBinary(objects)).value,
            PropertyList(PropertyList::Array{PropertyList::Array{true, true},
                                             PropertyList::Array{true, true}}));
}
