// Command-line reading shared by the tools.
#include "hosting/CommandLine.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace hosting {

namespace {

template <typename Number> std::optional<Number> parseWhole(std::string_view text) noexcept {
  Number result{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, result);
  if (text.empty() || error != std::errc{} || stop != end)
    return std::nullopt;
  return result;
}

// "-3", "-.5": a negative number, which an option may take as its value.
bool looksNumeric(std::string_view argument) noexcept {
  return argument.size() > 1 && argument[0] == '-' &&
         ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == '.');
}

} // namespace

std::optional<double> parseFiniteNumber(std::string_view text) noexcept {
  // from_chars takes no leading '+', but people write "+0.5".
  if (text.size() > 1 && text.front() == '+' && text[1] != '-')
    text.remove_prefix(1);
  const auto number = parseWhole<double>(text);
  if (!number || !std::isfinite(*number))
    return std::nullopt;
  return number;
}

std::optional<std::int64_t> parseInteger(std::string_view text) noexcept {
  return parseWhole<std::int64_t>(text);
}

std::optional<std::uint64_t> parseUnsigned(std::string_view text) noexcept {
  return parseWhole<std::uint64_t>(text);
}

std::int64_t parseIntegerOption(std::string_view option, std::string_view text, std::int64_t lo,
                                std::int64_t hi) {
  const auto number = parseInteger(text);
  if (!number)
    throw UsageError(std::string(option) + ": " + inQuotes(text) + " is not a whole number");
  if (*number < lo || *number > hi)
    throw UsageError(std::string(option) + ": " + inQuotes(text) + " is outside " +
                     std::to_string(lo) + " ... " + std::to_string(hi));
  return *number;
}

double parseNumberOption(std::string_view option, std::string_view text, double lo, double hi,
                         std::string_view what) {
  const auto number = parseFiniteNumber(text);
  if (number && *number >= lo && *number <= hi)
    return *number;
  std::ostringstream message; // prints 86400, not 86400.000000
  message << option << ": " << inQuotes(text) << " is not " << what << " from " << lo << " to "
          << hi;
  throw UsageError(message.str());
}

ArgumentReader::ArgumentReader(int argc, const char* const* argv) noexcept
    : count(argc), arguments(argv) {}

std::string_view ArgumentReader::next() {
  if (pendingValue)
    throw UsageError("option " + inQuotes(arguments[index - 1]) + " takes no value");
  std::string_view argument = arguments[index++];
  if (argument.starts_with("--")) {
    if (const auto equals = argument.find('='); equals != std::string_view::npos) {
      pendingValue = argument.substr(equals + 1);
      return argument.substr(0, equals);
    }
  }
  return argument;
}

std::string_view ArgumentReader::value(std::string_view option) {
  if (pendingValue) {
    const auto result = *pendingValue;
    pendingValue.reset();
    return result;
  }
  if (done())
    throw UsageError(std::string(option) + " needs a value");
  // "--render --demo" names no file called "--demo"; "--name=--demo" still can.
  const std::string_view argument = arguments[index];
  if (isOption(argument) && !looksNumeric(argument))
    throw UsageError(std::string(option) + " needs a value, not the option " + inQuotes(argument));
  ++index;
  return argument;
}

bool ArgumentReader::isOption(std::string_view argument) noexcept {
  return argument.size() > 1 && argument.front() == '-';
}

CommandLineRequest
readCommandLine(int argc, const char* const* argv, std::vector<std::string_view>& positional,
                const std::function<bool(std::string_view, ArgumentReader&)>& readOption) {
  ArgumentReader reader(argc, argv);
  bool optionsEnded = false;
  while (!reader.done()) {
    const auto argument = reader.next();
    if (optionsEnded || !ArgumentReader::isOption(argument))
      positional.push_back(argument);
    else if (argument == "--")
      optionsEnded = true;
    else if (argument == "--help" || argument == "-h")
      return CommandLineRequest::help;
    else if (argument == "--version")
      return CommandLineRequest::version;
    else if (!readOption(argument, reader))
      throw UsageError("unknown option " + inQuotes(argument) + " (see --help)");
  }
  return CommandLineRequest::run;
}

std::string versionLine(std::string_view program) {
  return std::string(program) + " " + ORRINBROOK_VERSION + "\n";
}

std::string inQuotes(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 2);
  result.append(1, '\'').append(text).append(1, '\'');
  return result;
}

std::string listOf(const std::vector<std::string>& names) {
  std::string result;
  for (const std::string& name : names)
    result.append(result.empty() ? "" : ", ").append(name);
  return result.empty() ? "none" : result;
}

} // namespace hosting
