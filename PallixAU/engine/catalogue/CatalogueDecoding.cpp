// Catalogue decoding over nlohmann-json: a depth-guarded parse, then one function per type.
#include "PallixAU/engine/catalogue/CatalogueDecoding.h"

#include "PallixAU/engine/catalogue/CatalogueSpellings.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <new>
#include <string_view>
#include <utility>

namespace pallix::engine {

namespace {

using json = nlohmann::json;

// Where a value sits in the document: a chain of stack frames, turned into text only when
// decoding fails, so a good file costs no path strings.
struct Path {
  const Path* parent = nullptr; // null only for the document itself
  std::string_view key;         // of a member
  std::size_t index = 0;        // of an element
  bool isElement = false;

  Path member(std::string_view name) const { return Path{this, name, 0, false}; }
  Path element(std::size_t i) const { return Path{this, {}, i, true}; }

  std::string text() const {
    std::vector<const Path*> chain;
    for (const Path* p = this; p->parent != nullptr; p = p->parent)
      chain.push_back(p);
    std::string result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      if ((*it)->isElement) {
        result += '[' + std::to_string((*it)->index) + ']';
      } else {
        if (!result.empty())
          result += '.';
        result += (*it)->key;
      }
    }
    return result;
  }
};

// The first failure, thrown to the top: it aborts the whole file.
struct Failure {
  std::string path;
  std::string reason;
};

[[noreturn]] void fail(const Path& path, std::string reason) {
  throw Failure{path.text(), std::move(reason)};
}

[[noreturn]] void wrongType(const json& value, const Path& path, std::string_view expected) {
  fail(path, "expected " + std::string(expected) + ", found " + value.type_name());
}

// Number text as written back by the parser; only finite numbers reach here.
std::string numberText(const json& value) { return value.dump(); }

template <typename Int> Int wholeNumber(const json& value, const Path& path) {
  constexpr auto lo = std::numeric_limits<Int>::min();
  constexpr auto hi = std::numeric_limits<Int>::max();
  const auto outOfRange = [&] {
    fail(path, numberText(value) + " is out of range " + std::to_string(lo) + " to " +
                   std::to_string(hi));
  };
  if (value.is_number_unsigned()) {
    const auto u = value.get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(hi))
      outOfRange();
    return static_cast<Int>(u);
  }
  if (value.is_number_integer()) {
    const auto i = value.get<std::int64_t>();
    if (i < lo || i > hi)
      outOfRange();
    return static_cast<Int>(i);
  }
  if (value.is_number_float()) {
    // 4.0 and 4e0 are whole numbers; integers too long for 64 bits arrive here as well.
    const double d = value.get<double>();
    if (!std::isfinite(d) || d != std::trunc(d))
      fail(path, numberText(value) + " is not a whole number");
    if (d < lo || d > hi)
      outOfRange();
    return static_cast<Int>(d);
  }
  wrongType(value, path, "a whole number");
}

double realNumber(const json& value, const Path& path) {
  if (!value.is_number())
    wrongType(value, path, "a number");
  const double d = value.get<double>();
  if (!std::isfinite(d))
    fail(path, "number out of range");
  return d;
}

std::string text(const json& value, const Path& path) {
  if (!value.is_string())
    wrongType(value, path, "a string");
  return value.get<std::string>();
}

const json& array(const json& value, const Path& path) {
  if (!value.is_array())
    wrongType(value, path, "an array");
  return value;
}

template <typename E> E enumeration(const json& value, const Path& path) {
  const std::string name = text(value, path);
  if (const auto result = valueSpelled<E>(name))
    return *result;
  fail(path, "unknown " + std::string(CatalogueSpellings<E>::what) + " " + name);
}

// A decoder of an array whose elements decode with decodeElement.
template <typename Decode> auto listOf(Decode decodeElement) {
  return [decodeElement](const json& value, const Path& path) {
    const json& elements = array(value, path);
    std::vector<decltype(decodeElement(value, path))> result;
    result.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i)
      result.push_back(decodeElement(elements[i], path.element(i)));
    return result;
  };
}

SuspensionFlags suspensionFlags(const json& value, const Path& path) {
  const json& names = array(value, path);
  SuspensionFlags flags;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const Path at = path.element(i);
    const std::string name = text(names[i], at);
    std::size_t bit = 0;
    while (bit < suspensionFlagNames.size() && suspensionFlagNames[bit] != name)
      ++bit;
    if (bit == suspensionFlagNames.size())
      fail(at, "unknown suspension flag " + name);
    flags.insert(SuspensionFlags(static_cast<std::uint8_t>(1u << bit)));
  }
  return flags;
}

// The members of one object, looked up by key; keys nobody asks for are ignored.
class ObjectReader {
public:
  ObjectReader(const json& value, const Path& path) : object_(value), path_(path) {
    if (!value.is_object())
      wrongType(value, path, "an object");
  }

  template <typename Decode> auto required(std::string_view key, Decode decode) const {
    const Path at = path_.member(key);
    const auto it = object_.find(key);
    if (it == object_.end())
      fail(at, "required key missing");
    return decode(*it, at);
  }

  // Absent and null both give nullopt.
  template <typename Decode> auto optional(std::string_view key, Decode decode) const {
    const Path at = path_.member(key);
    const auto it = object_.find(key);
    using Result = decltype(decode(*it, at));
    if (it == object_.end() || it->is_null())
      return std::optional<Result>{};
    return std::optional<Result>{decode(*it, at)};
  }

private:
  const json& object_;
  const Path& path_;
};

// Fields in the format's order, so the first failing one is the one reported.
PhraseEvent phraseEvent(const json& value, const Path& path) {
  const ObjectReader fields(value, path);
  PhraseEvent event;
  event.timeOffsetPulses = fields.required("t", realNumber);
  event.pitchSemitones = fields.required("p", wholeNumber<int>);
  event.durationPulses = fields.required("d", realNumber);
  event.velocityLow = fields.required("vL", wholeNumber<std::uint8_t>);
  event.velocityHigh = fields.required("vH", wholeNumber<std::uint8_t>);
  event.voiceTag = fields.required("v", enumeration<VoiceTag>);
  return event;
}

Phrase phrase(const json& value, const Path& path) {
  const ObjectReader fields(value, path);
  Phrase phrase; // every mode, tier and spacing class unless the file narrows them
  phrase.slot = fields.required("slot", enumeration<SlotTag>);
  if (auto modes = fields.optional("modes", listOf(enumeration<Mode>)); modes && !modes->empty())
    phrase.modes = std::move(*modes);
  if (auto tiers = fields.optional("tiers", listOf(enumeration<Tier>)); tiers && !tiers->empty())
    phrase.tiers = std::move(*tiers);
  phrase.pulsesPerBar = fields.required("pulsesPerBar", wholeNumber<int>);
  if (auto classes = fields.optional("spacingClasses", listOf(enumeration<PulseSpacingClass>));
      classes && !classes->empty())
    phrase.spacingClasses = std::move(*classes);
  phrase.suspends = fields.required("suspends", suspensionFlags);
  phrase.family = fields.required("family", text);
  if (auto kinds = fields.optional("disableMutations", listOf(enumeration<MutationKind>)))
    phrase.disableMutations = std::move(*kinds);
  phrase.events = fields.required("events", listOf(phraseEvent));
  return phrase;
}

CatalogFile catalogueFile(const json& value, const Path& path) {
  const ObjectReader fields(value, path);
  CatalogFile file;
  file.version = fields.required("version", wholeNumber<int>);
  file.phrases = fields.required("phrases", listOf(phrase));
  return file;
}

// nlohmann's messages open with "[json.exception.parse_error.101] "; the rest says it all.
std::string withoutExceptionTag(std::string_view message) {
  if (message.starts_with('[')) {
    if (const auto end = message.find("] "); end != std::string_view::npos)
      message.remove_prefix(end + 2);
  }
  return std::string(message);
}

json parse(std::span<const std::uint8_t> bytes) {
  // Checked as each array or object opens, so a deep document is refused at the first level
  // too many rather than after the parser has built it.
  const json::parser_callback_t depthGuard = [](int depth, json::parse_event_t event, json&) {
    if ((event == json::parse_event_t::object_start || event == json::parse_event_t::array_start) &&
        depth >= kMaxCatalogueNesting)
      fail(Path{}, "nested deeper than " + std::to_string(kMaxCatalogueNesting) + " levels");
    return true;
  };
  try {
    return json::parse(bytes.data(), bytes.data() + bytes.size(), depthGuard);
  } catch (const json::exception& error) {
    fail(Path{}, withoutExceptionTag(error.what()));
  }
}

} // namespace

std::string CatalogueDecodingError::description() const {
  return path.empty() ? reason : path + ": " + reason;
}

CatalogueDecodeResult decodeCatalogFile(std::span<const std::uint8_t> bytes) noexcept {
  try {
    const json document = parse(bytes);
    return {catalogueFile(document, Path{}), {}};
  } catch (Failure& failure) {
    return {std::nullopt, {std::move(failure.path), std::move(failure.reason)}};
  } catch (const std::bad_alloc&) {
    return {std::nullopt, {{}, "out of memory"}};
  } catch (const std::exception& error) {
    return {std::nullopt, {{}, error.what()}};
  }
}

} // namespace pallix::engine
