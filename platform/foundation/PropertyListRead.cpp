// Reading property lists: libplist parses, this file guards its input and converts its tree.
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/PropertyListShape.h"

#include <plist/plist.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <memory>
#include <new>

namespace foundation {

namespace {

struct PlistDeleter {
  void operator()(void* node) const noexcept { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct FreeDeleter {
  void operator()(void* p) const noexcept { std::free(p); }
};

constexpr std::string_view kBinaryMagic = "bplist00"; // what plist_from_memory looks for

bool isBinary(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kBinaryMagic.size() &&
         std::memcmp(bytes.data(), kBinaryMagic.data(), kBinaryMagic.size()) == 0;
}

// libplist reads reals with strtod, which follows the locale: a host that switched to a
// locale with decimal commas would read "0.5" as 0. uselocale changes only this thread.
class ClassicNumericLocale {
public:
  ClassicNumericLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (classic != locale_t{})
      previous_ = uselocale(classic);
  }
  ~ClassicNumericLocale() {
    if (previous_ != locale_t{})
      uselocale(previous_);
  }
  ClassicNumericLocale(const ClassicNumericLocale&) = delete;
  ClassicNumericLocale& operator=(const ClassicNumericLocale&) = delete;

private:
  locale_t previous_{};
};

// libplist 2.2 keeps integers as 64 bits plus a flag for "unsigned above INT64_MAX" that only
// its writer exposes; ask it, for the rare values whose top bit is set.
bool isLargeUnsigned(plist_t node) {
  char* xml = nullptr;
  std::uint32_t length = 0;
  plist_to_xml(node, &xml, &length);
  std::unique_ptr<char, FreeDeleter> owned(xml);
  if (xml == nullptr)
    return false;
  return std::string_view(xml, length).find("<integer>-") == std::string_view::npos;
}

class Converter {
public:
  std::optional<PropertyList> convert(plist_t node, int depth) {
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
      return dictionary(node, depth + 1);
    case PLIST_ARRAY:
      return array(node, depth + 1);
    case PLIST_STRING: {
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return PropertyList(std::string(text ? text : "", text ? length : 0));
    }
    case PLIST_UINT: {
      std::uint64_t bits = 0;
      plist_get_uint_val(node, &bits);
      if (bits > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) &&
          isLargeUnsigned(node))
        return PropertyList(static_cast<double>(bits));
      return PropertyList(static_cast<std::int64_t>(bits)); // two's complement
    }
    case PLIST_REAL: {
      double value = 0.0;
      plist_get_real_val(node, &value);
      return PropertyList(value);
    }
    case PLIST_BOOLEAN: {
      std::uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return PropertyList(value != 0);
    }
    case PLIST_DATA: {
      std::uint64_t length = 0;
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
      return PropertyList(bytes ? PropertyList::Data(bytes, bytes + length) : PropertyList::Data{});
    }
    case PLIST_DATE: {
      std::int32_t seconds = 0, microseconds = 0;
      plist_get_date_val(node, &seconds, &microseconds);
      // libplist hands out the fraction without its sign.
      const double fraction = microseconds / 1e6;
      return PropertyList(
          PropertyList::Date{seconds < 0 ? seconds - fraction : seconds + fraction});
    }
    case PLIST_UID:
      return fail("contains a UID value (keyed archive), which is not supported");
    default:
      return fail("contains a value of unknown type");
    }
  }

  std::string error;

private:
  std::optional<PropertyList> fail(std::string message) {
    error = std::move(message);
    return std::nullopt;
  }

  std::optional<PropertyList> dictionary(plist_t node, int depth) {
    if (depth > PropertyList::kMaxDepth)
      return fail("nested deeper than " + std::to_string(PropertyList::kMaxDepth) + " levels");
    PropertyList::Dictionary result;
    plist_dict_iter raw = nullptr;
    plist_dict_new_iter(node, &raw);
    std::unique_ptr<void, FreeDeleter> iter(raw);
    for (;;) {
      char* rawKey = nullptr;
      plist_t item = nullptr;
      plist_dict_next_item(node, raw, &rawKey, &item);
      std::unique_ptr<char, FreeDeleter> key(rawKey);
      if (item == nullptr)
        break;
      auto value = convert(item, depth);
      if (!value)
        return std::nullopt;
      result.insert_or_assign(std::string(key ? key.get() : ""), std::move(*value));
    }
    return PropertyList(std::move(result));
  }

  std::optional<PropertyList> array(plist_t node, int depth) {
    if (depth > PropertyList::kMaxDepth)
      return fail("nested deeper than " + std::to_string(PropertyList::kMaxDepth) + " levels");
    PropertyList::Array result;
    const std::uint32_t size = plist_array_get_size(node);
    result.reserve(size);
    for (std::uint32_t i = 0; i < size; ++i) {
      auto value = convert(plist_array_get_item(node, i), depth);
      if (!value)
        return std::nullopt;
      result.push_back(std::move(*value));
    }
    return PropertyList(std::move(result));
  }
};

PropertyList::ReadResult failure(std::string message) { return {std::nullopt, std::move(message)}; }

} // namespace

PropertyList::ReadResult PropertyList::read(std::span<const std::uint8_t> bytes) {
  try {
    if (bytes.empty())
      return failure("empty input");
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max())
      return failure("larger than 4 GiB");
    std::string shapeError = isBinary(bytes)
                                 ? checkBinaryPropertyListShape(bytes, kMaxDepth, kMaxValues)
                                 : checkXMLPropertyListShape(bytes, kMaxDepth);
    if (!shapeError.empty())
      return failure(std::move(shapeError));

    plist_t raw = nullptr;
    {
      ClassicNumericLocale classic;
      plist_from_memory(reinterpret_cast<const char*>(bytes.data()),
                        static_cast<std::uint32_t>(bytes.size()), &raw);
    }
    const PlistPtr root(raw);
    if (root == nullptr)
      return failure(isBinary(bytes) ? "not a valid binary property list"
                                     : "not a valid XML property list");
    Converter converter;
    auto value = converter.convert(root.get(), 0);
    if (!value)
      return failure(std::move(converter.error));
    return {std::move(value), {}};
  } catch (const std::bad_alloc&) {
    return failure("out of memory");
  }
}

} // namespace foundation
