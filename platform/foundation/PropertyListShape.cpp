// Depth and size checks on serialised property lists, run before libplist sees them.
#include "platform/foundation/PropertyListShape.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace foundation {

namespace {

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == ':' || c == '.';
}

// The tag name that starts at text[pos], or empty.
std::string_view tagName(std::string_view text, std::size_t pos) {
  std::size_t end = pos;
  while (end < text.size() && isNameChar(text[end]))
    ++end;
  return text.substr(pos, end - pos);
}

// Position just past the first occurrence of terminator at or after from, or npos.
std::size_t skipPast(std::string_view text, std::size_t from, std::string_view terminator) {
  const std::size_t at = text.find(terminator, from);
  return at == std::string_view::npos ? at : at + terminator.size();
}

// Position just past a <!DOCTYPE ...> or other declaration, whose internal subset in brackets
// may itself contain '>'.
std::size_t skipDeclaration(std::string_view text, std::size_t from) {
  int brackets = 0;
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == '[')
      ++brackets;
    else if (text[i] == ']' && brackets > 0)
      --brackets;
    else if (text[i] == '>' && brackets == 0)
      return i + 1;
  }
  return std::string_view::npos;
}

} // namespace

std::string checkXMLPropertyListShape(std::span<const std::uint8_t> bytes, int maxDepth) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  int depth = 0;
  std::size_t i = 0;
  while ((i = text.find('<', i)) != std::string_view::npos) {
    const std::string_view rest = text.substr(i);
    if (rest.starts_with("<!--"))
      i = skipPast(text, i + 4, "-->");
    else if (rest.starts_with("<![CDATA["))
      i = skipPast(text, i + 9, "]]>");
    else if (rest.starts_with("<?"))
      i = skipPast(text, i + 2, "?>");
    else if (rest.starts_with("<!"))
      i = skipDeclaration(text, i + 2);
    else if (rest.starts_with("</")) {
      const std::string_view name = tagName(text, i + 2);
      if ((name == "array" || name == "dict") && depth > 0)
        --depth;
      i += 2;
    } else {
      const std::string_view name = tagName(text, i + 1);
      i += 1;
      if (name == "array" || name == "dict") {
        const std::size_t close = text.find('>', i);
        if (close == std::string_view::npos)
          break;
        if (text[close - 1] != '/' && ++depth > maxDepth)
          return "nested deeper than " + std::to_string(maxDepth) + " levels";
        i = close + 1;
      }
    }
    if (i == std::string_view::npos)
      break; // unterminated: libplist refuses it
  }
  return {};
}

namespace {

// Bounds-checked big-endian reads from a binary property list.
class BinaryReader {
public:
  explicit BinaryReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::optional<std::uint64_t> unsignedAt(std::uint64_t pos, std::uint64_t size) const {
    if (size == 0 || size > 8 || pos > bytes_.size() || size > bytes_.size() - pos)
      return std::nullopt;
    std::uint64_t value = 0;
    for (std::uint64_t k = 0; k < size; ++k)
      value = (value << 8) | bytes_[pos + k];
    return value;
  }

private:
  std::span<const std::uint8_t> bytes_;
};

struct Container {
  std::uint64_t refsStart = 0;
  std::uint64_t refCount = 0;
  std::uint64_t keyCount = 0; // a dictionary's keys come first among its references
};

struct Measure {
  int height = 0;           // containers on the longest path down, this one included
  std::uint64_t values = 1; // values in the expanded tree, this one included
  bool finished = false;    // false while the walk is still inside it
};

// Object markers: the high four bits give the type, the low four a size or count.
constexpr int kAsciiString = 0x5, kUtf16String = 0x6, kArray = 0xA, kSet = 0xC, kDictionary = 0xD;

class BinaryShape {
public:
  BinaryShape(std::span<const std::uint8_t> bytes, int maxDepth, std::size_t maxValues)
      : reader_(bytes), size_(bytes.size()), maxDepth_(maxDepth), maxValues_(maxValues) {}

  std::string check() {
    constexpr std::uint64_t kHeader = 8, kTrailer = 32;
    if (size_ < kHeader + kTrailer)
      return "truncated binary property list";
    const std::uint64_t trailer = size_ - kTrailer;
    offsetSize_ = *reader_.unsignedAt(trailer + 6, 1);
    refSize_ = *reader_.unsignedAt(trailer + 7, 1);
    objectCount_ = *reader_.unsignedAt(trailer + 8, 8);
    const std::uint64_t root = *reader_.unsignedAt(trailer + 16, 8);
    tableStart_ = *reader_.unsignedAt(trailer + 24, 8);
    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8 ||
        tableStart_ < kHeader || tableStart_ > trailer ||
        objectCount_ > (trailer - tableStart_) / offsetSize_ || root >= objectCount_)
      return "malformed binary property list (trailer)";
    return walk(root);
  }

private:
  struct Object {
    int type = 0;
    std::uint64_t count = 0; // elements, characters or bytes, for the types that have one
    std::uint64_t contentStart = 0;
  };

  // The marker of object index and, for sized types, the count that follows it.
  std::optional<Object> objectAt(std::uint64_t index, std::string& error) const {
    const auto offset = reader_.unsignedAt(tableStart_ + index * offsetSize_, offsetSize_);
    if (!offset || *offset < 8 || *offset >= tableStart_) {
      error = "malformed binary property list (object offset)";
      return std::nullopt;
    }
    const auto marker = *reader_.unsignedAt(*offset, 1);
    Object object{static_cast<int>(marker >> 4), marker & 0xF, *offset + 1};
    if (object.count == 0xF) { // the count follows as an integer object
      const auto intMarker = reader_.unsignedAt(object.contentStart, 1);
      const std::uint64_t width = intMarker ? std::uint64_t{1} << (*intMarker & 0xF) : 0;
      const auto extended = intMarker && (*intMarker >> 4) == 1 && width <= 8
                                ? reader_.unsignedAt(object.contentStart + 1, width)
                                : std::nullopt;
      if (!extended) {
        error = "malformed binary property list (object size)";
        return std::nullopt;
      }
      object.count = *extended;
      object.contentStart += 1 + width;
    }
    if (object.contentStart > tableStart_) {
      error = "malformed binary property list (object runs past its end)";
      return std::nullopt;
    }
    return object;
  }

  // The references of object index, if it is an array, set or dictionary.
  std::optional<Container> containerAt(std::uint64_t index, std::string& error) const {
    const auto object = objectAt(index, error);
    if (!object || (object->type != kArray && object->type != kSet && object->type != kDictionary))
      return std::nullopt;
    const std::uint64_t perEntry = object->type == kDictionary ? 2 : 1;
    if (object->count > (tableStart_ - object->contentStart) / refSize_ / perEntry) {
      error = "malformed binary property list (container runs past its end)";
      return std::nullopt;
    }
    return Container{object->contentStart, object->count * perEntry,
                     perEntry == 2 ? object->count : 0};
  }

  // libplist aborts the process (an assertion) on a dictionary key holding a NUL character,
  // so keys are checked here; keys that are not strings are refused too.
  std::string keyProblem(std::uint64_t index) const {
    std::string error;
    const auto key = objectAt(index, error);
    if (!key)
      return error;
    if (key->type != kAsciiString && key->type != kUtf16String)
      return "dictionary key is not a string";
    const std::uint64_t unit = key->type == kUtf16String ? 2 : 1;
    if (key->count > (tableStart_ - key->contentStart) / unit)
      return "malformed binary property list (key runs past its end)";
    for (std::uint64_t i = 0; i < key->count; ++i)
      if (*reader_.unsignedAt(key->contentStart + i * unit, unit) == 0)
        return "dictionary key contains a NUL character";
    return {};
  }

  struct Frame {
    std::uint64_t index;
    Container container;
    std::uint64_t next = 0;
    Measure measure;
  };

  std::string walk(std::uint64_t root) {
    std::string error;
    const auto rootContainer = containerAt(root, error);
    if (!rootContainer)
      return error;
    std::vector<Frame> stack{Frame{root, *rootContainer, 0, Measure{}}};
    memo_[root] = Measure{};
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.next == frame.container.refCount) {
        Measure done = frame.measure;
        done.height += 1;
        done.finished = true;
        memo_[frame.index] = done;
        stack.pop_back();
        if (!stack.empty())
          addChild(stack.back().measure, done);
        continue;
      }
      const auto child =
          reader_.unsignedAt(frame.container.refsStart + frame.next * refSize_, refSize_);
      const bool isKey = frame.next < frame.container.keyCount;
      ++frame.next;
      if (!child || *child >= objectCount_)
        return "malformed binary property list (object reference)";
      if (isKey) {
        if (auto problem = keyProblem(*child); !problem.empty())
          return problem;
        addChild(frame.measure, Measure{0, 1, true});
        continue;
      }
      if (auto seen = memo_.find(*child); seen != memo_.end()) {
        if (!seen->second.finished)
          return "binary property list refers to itself";
        addChild(frame.measure, seen->second);
      } else if (const auto container = containerAt(*child, error)) {
        if (static_cast<int>(stack.size()) >= maxDepth_)
          return "nested deeper than " + std::to_string(maxDepth_) + " levels";
        if (memo_.size() > maxValues_)
          return "more than " + std::to_string(maxValues_) + " values";
        memo_[*child] = Measure{};
        stack.push_back(Frame{*child, *container, 0, Measure{}});
        continue;
      } else if (!error.empty()) {
        return error;
      } else {
        addChild(frame.measure, Measure{0, 1, true});
      }
      if (frame.measure.values > maxValues_)
        return "more than " + std::to_string(maxValues_) + " values";
    }
    const Measure& whole = memo_[root];
    if (whole.height > maxDepth_)
      return "nested deeper than " + std::to_string(maxDepth_) + " levels";
    if (whole.values > maxValues_)
      return "more than " + std::to_string(maxValues_) + " values";
    return {};
  }

  void addChild(Measure& parent, const Measure& child) const {
    parent.height = std::max(parent.height, child.height);
    // Saturate: the sum only has to be compared with maxValues_.
    parent.values = std::min<std::uint64_t>(parent.values + child.values, maxValues_ + 1);
  }

  BinaryReader reader_;
  std::uint64_t size_;
  int maxDepth_;
  std::uint64_t maxValues_;
  std::uint64_t offsetSize_ = 0, refSize_ = 0, objectCount_ = 0, tableStart_ = 0;
  std::unordered_map<std::uint64_t, Measure> memo_;
};

} // namespace

std::string checkBinaryPropertyListShape(std::span<const std::uint8_t> bytes, int maxDepth,
                                         std::size_t maxValues) {
  return BinaryShape(bytes, maxDepth, maxValues).check();
}

} // namespace foundation
