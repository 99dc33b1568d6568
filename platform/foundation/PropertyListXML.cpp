// Writing property lists as XML, by hand so that every value is spelled the same way on every
// machine (no locale, no time zone) and reads back through libplist unchanged.
#include "platform/foundation/PropertyList.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace foundation {

namespace {

constexpr std::string_view kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                     "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                     "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                     "<plist version=\"1.0\">\n";

void appendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '\r':
      out += "&#13;";
      break; // a raw CR would be folded into the following LF
    case '\0':
      break; // XML has no way to carry it
    default:
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
        char reference[8];
        std::snprintf(reference, sizeof reference, "&#%d;", c);
        out += reference;
      } else {
        out += c;
      }
    }
  }
}

void appendReal(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";
  } else if (std::isinf(value)) {
    out += value > 0 ? "+infinity" : "-infinity";
  } else {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr; // shortest exact
    out.append(buffer, end);
  }
}

void appendDate(std::string& out, double secondsSince2001) {
  using namespace std::chrono;
  constexpr double kUnixOf2001 = 978307200.0;
  // Years 1 ... 9999, the range the four-digit form can spell.
  constexpr double kFirst = -62135596800.0 - kUnixOf2001, kLast = 253402300799.0 - kUnixOf2001;
  const double whole =
      std::isnan(secondsSince2001) ? 0.0 : std::clamp(std::floor(secondsSince2001), kFirst, kLast);
  const sys_seconds time{seconds{static_cast<std::int64_t>(whole + kUnixOf2001)}};
  const sys_days day = floor<days>(time);
  const year_month_day ymd{day};
  const hh_mm_ss clock{time - day};
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(ymd.year()),
                unsigned(ymd.month()), unsigned(ymd.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()));
  out += buffer;
}

void appendBase64(std::string& out, const PropertyList::Data& data, std::string_view indent) {
  constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  constexpr std::size_t kBytesPerLine = 51; // 68 characters
  for (std::size_t line = 0; line < data.size(); line += kBytesPerLine) {
    out += indent;
    const std::size_t end = std::min(data.size(), line + kBytesPerLine);
    for (std::size_t i = line; i < end; i += 3) {
      const std::size_t n = std::min<std::size_t>(3, end - i);
      const std::uint32_t group = (std::uint32_t{data[i]} << 16) |
                                  (n > 1 ? std::uint32_t{data[i + 1]} << 8 : 0) |
                                  (n > 2 ? std::uint32_t{data[i + 2]} : 0);
      out += kAlphabet[(group >> 18) & 63];
      out += kAlphabet[(group >> 12) & 63];
      out += n > 1 ? kAlphabet[(group >> 6) & 63] : '=';
      out += n > 2 ? kAlphabet[group & 63] : '=';
    }
    out += '\n';
  }
}

void appendValue(std::string& out, const PropertyList& value, std::string& indent) {
  out += indent;
  switch (value.kind()) {
  case PropertyList::Kind::dictionary: {
    const auto& dictionary = *value.dictionary();
    if (dictionary.empty()) {
      out += "<dict/>\n";
      return;
    }
    out += "<dict>\n";
    indent += '\t';
    for (const auto& [key, item] : dictionary) {
      out += indent;
      out += "<key>";
      appendEscaped(out, key);
      out += "</key>\n";
      appendValue(out, item, indent);
    }
    indent.pop_back();
    out += indent;
    out += "</dict>\n";
    return;
  }
  case PropertyList::Kind::array: {
    const auto& array = *value.array();
    if (array.empty()) {
      out += "<array/>\n";
      return;
    }
    out += "<array>\n";
    indent += '\t';
    for (const auto& item : array)
      appendValue(out, item, indent);
    indent.pop_back();
    out += indent;
    out += "</array>\n";
    return;
  }
  case PropertyList::Kind::string:
    out += "<string>";
    appendEscaped(out, *value.string());
    out += "</string>\n";
    return;
  case PropertyList::Kind::integer:
    out += "<integer>";
    out += std::to_string(*value.integer());
    out += "</integer>\n";
    return;
  case PropertyList::Kind::real:
    out += "<real>";
    appendReal(out, *value.real());
    out += "</real>\n";
    return;
  case PropertyList::Kind::boolean:
    out += *value.boolean() ? "<true/>\n" : "<false/>\n";
    return;
  case PropertyList::Kind::data:
    out += "<data>\n";
    appendBase64(out, *value.data(), indent);
    out += indent;
    out += "</data>\n";
    return;
  case PropertyList::Kind::date:
    out += "<date>";
    appendDate(out, value.date()->secondsSince2001);
    out += "</date>\n";
    return;
  }
}

} // namespace

std::string PropertyList::toXML() const {
  std::string out(kHeader);
  std::string indent;
  appendValue(out, *this, indent);
  out += "</plist>\n";
  return out;
}

} // namespace foundation
