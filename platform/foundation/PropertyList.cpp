// The property-list value type: construction, access and comparison.
#include "platform/foundation/PropertyList.h"

#include <cmath>
#include <utility>

namespace foundation {

PropertyList::PropertyList() : value_(Dictionary{}) {}
PropertyList::PropertyList(Dictionary value) : value_(std::move(value)) {}
PropertyList::PropertyList(Array value) : value_(std::move(value)) {}
PropertyList::PropertyList(std::string value) : value_(std::move(value)) {}
PropertyList::PropertyList(std::string_view value) : value_(std::string(value)) {}
PropertyList::PropertyList(const char* value) : value_(std::string(value ? value : "")) {}
PropertyList::PropertyList(std::int64_t value) : value_(value) {}
PropertyList::PropertyList(int value) : value_(std::int64_t{value}) {}
PropertyList::PropertyList(double value) : value_(value) {}
PropertyList::PropertyList(float value) : value_(double{value}) {}
PropertyList::PropertyList(bool value) : value_(value) {}
PropertyList::PropertyList(Data value) : value_(std::move(value)) {}
PropertyList::PropertyList(Date value) : value_(value) {}

PropertyList::Kind PropertyList::kind() const noexcept {
  // The alternatives of Value are declared in the order of Kind.
  return static_cast<Kind>(value_.index());
}

const PropertyList::Dictionary* PropertyList::dictionary() const noexcept {
  return std::get_if<Dictionary>(&value_);
}
PropertyList::Dictionary* PropertyList::dictionary() noexcept {
  return std::get_if<Dictionary>(&value_);
}
const PropertyList::Array* PropertyList::array() const noexcept {
  return std::get_if<Array>(&value_);
}
PropertyList::Array* PropertyList::array() noexcept { return std::get_if<Array>(&value_); }
const std::string* PropertyList::string() const noexcept {
  return std::get_if<std::string>(&value_);
}
const PropertyList::Data* PropertyList::data() const noexcept { return std::get_if<Data>(&value_); }

namespace {
template <typename T, typename V> std::optional<T> optionalOf(const V& value) noexcept {
  if (const T* p = std::get_if<T>(&value))
    return *p;
  return std::nullopt;
}
} // namespace

std::optional<std::int64_t> PropertyList::integer() const noexcept {
  return optionalOf<std::int64_t>(value_);
}
std::optional<double> PropertyList::real() const noexcept { return optionalOf<double>(value_); }
std::optional<bool> PropertyList::boolean() const noexcept { return optionalOf<bool>(value_); }
std::optional<PropertyList::Date> PropertyList::date() const noexcept {
  return optionalOf<Date>(value_);
}

std::optional<double> PropertyList::number() const noexcept {
  if (const auto* i = std::get_if<std::int64_t>(&value_))
    return static_cast<double>(*i);
  return real();
}

const PropertyList* PropertyList::find(std::string_view key) const noexcept {
  const Dictionary* d = dictionary();
  if (d == nullptr)
    return nullptr;
  auto it = d->find(key);
  return it == d->end() ? nullptr : &it->second;
}

bool PropertyList::operator==(const PropertyList& other) const {
  if (value_.index() != other.value_.index())
    return false;
  if (const double* a = std::get_if<double>(&value_)) {
    const double b = std::get<double>(other.value_);
    return *a == b || (std::isnan(*a) && std::isnan(b));
  }
  return value_ == other.value_; // containers compare their elements with this operator
}

} // namespace foundation
