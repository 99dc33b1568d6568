// A property-list value (dictionary, array, string, number, boolean, data, date), read from
// XML or binary and written as XML.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace foundation {

// A plain value: copies are deep, and every member may be called from any thread on an
// object that no other thread is changing. Nothing here is for the render thread (it
// allocates).
class PropertyList {
public:
  using Dictionary = std::map<std::string, PropertyList, std::less<>>;
  using Array = std::vector<PropertyList>;
  using Data = std::vector<std::uint8_t>;
  struct Date {
    double secondsSince2001 = 0.0; // seconds since 2001-01-01 00:00:00 UTC
    bool operator==(const Date&) const = default;
  };
  enum class Kind { dictionary, array, string, integer, real, boolean, data, date };

  // Containers deeper than this are refused by read(): building, copying and freeing a tree
  // recurse once per level, and a file must not be able to exhaust the stack.
  static constexpr int kMaxDepth = 512;
  // read() refuses a binary list whose shared references would expand to more values than
  // this (a few hundred bytes could otherwise describe billions of them).
  static constexpr std::size_t kMaxValues = std::size_t{1} << 20;

  PropertyList(); // an empty dictionary
  PropertyList(Dictionary value);
  PropertyList(Array value);
  PropertyList(std::string value);
  PropertyList(std::string_view value);
  PropertyList(const char* value);
  PropertyList(std::int64_t value);
  PropertyList(int value);
  PropertyList(double value);
  PropertyList(float value); // stored as a real
  PropertyList(bool value);
  PropertyList(Data value);
  PropertyList(Date value);

  // Any other integer type (unsigned, long long, size_t, ...). Unsigned values above
  // INT64_MAX become reals, as they do when read from a file.
  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, int> &&
           !std::same_as<T, std::int64_t>) PropertyList(T value)
      : PropertyList(fromInteger(value)) {}

  Kind kind() const noexcept;

  // Each accessor answers only for its own kind: null or nullopt otherwise.
  const Dictionary* dictionary() const noexcept;
  Dictionary* dictionary() noexcept;
  const Array* array() const noexcept;
  Array* array() noexcept;
  const std::string* string() const noexcept;
  std::optional<std::int64_t> integer() const noexcept;
  std::optional<double> real() const noexcept;
  std::optional<bool> boolean() const noexcept;
  const Data* data() const noexcept;
  std::optional<Date> date() const noexcept;

  // An integer or a real as a double; booleans are not numbers here.
  std::optional<double> number() const noexcept;

  // The value under key when this is a dictionary; null if absent or not a dictionary.
  const PropertyList* find(std::string_view key) const noexcept;

  // Same kind and same contents; two NaN reals are equal, so every value equals itself.
  bool operator==(const PropertyList& other) const;

  struct ReadResult; // below: it holds a PropertyList, complete only after the class

  // Parses an XML or binary property list with any root kind. Never throws; malformed,
  // truncated, too deep or too large input gives an error instead. Unsigned integers above
  // INT64_MAX become reals; UID values (keyed archives) are refused.
  static ReadResult read(std::span<const std::uint8_t> bytes);

  // A standard XML property list, keys in byte order. What XML cannot carry: NUL characters
  // in strings are left out, dates are written in whole seconds (years 1 to 9999), NaN and
  // infinities are written as "nan", "+infinity" and "-infinity".
  std::string toXML() const;

private:
  using Value =
      std::variant<Dictionary, Array, std::string, std::int64_t, double, bool, Data, Date>;

  template <std::integral T> static PropertyList fromInteger(T value) {
    if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
      if (value > static_cast<T>(INT64_MAX))
        return PropertyList(static_cast<double>(value));
    }
    return PropertyList(static_cast<std::int64_t>(value));
  }

  Value value_;
};

struct PropertyList::ReadResult {
  std::optional<PropertyList> value; // set exactly when error is empty
  std::string error;                 // what is wrong with the bytes, for a log line
};

} // namespace foundation
