// Command-line reading shared by the tools: options with values, and strict number parsing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace hosting {

// A problem with the command line or an input file. The tool prints it as one line and exits
// with status 2.
class UsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The whole text as a finite number; nothing for empty text, trailing characters, nan or inf.
std::optional<double> parseFiniteNumber(std::string_view text) noexcept;
// The whole text as a decimal integer; nothing when it does not fit or is not one.
std::optional<std::int64_t> parseInteger(std::string_view text) noexcept;
std::optional<std::uint64_t> parseUnsigned(std::string_view text) noexcept;

// The value of an option as an integer from lo to hi, or as a finite number from lo to hi that
// `what` describes ("a tempo in bpm"). Throw UsageError naming the option otherwise.
std::int64_t parseIntegerOption(std::string_view option, std::string_view text, std::int64_t lo,
                                std::int64_t hi);
double parseNumberOption(std::string_view option, std::string_view text, double lo, double hi,
                         std::string_view what);

// Walks the arguments after the program name. Options take their value either as the next
// argument ("--seconds 4") or after an equals sign ("--seconds=4").
class ArgumentReader {
public:
  ArgumentReader(int argc, const char* const* argv) noexcept;

  bool done() const noexcept { return index >= count; }
  // The next argument, or for "--name=value" its name; the value waits for value().
  std::string_view next();
  // The value of the option just returned by next(). Throws UsageError when there is none, or
  // when the next argument is another option (a negative number is a value).
  std::string_view value(std::string_view option);
  // True for "--name" and "-x"; a lone "-" is an ordinary argument.
  static bool isOption(std::string_view argument) noexcept;

private:
  int count;
  const char* const* arguments;
  int index = 1;
  std::optional<std::string_view> pendingValue;
};

// What a command line asks the program for: its work, its usage or its version.
enum class CommandLineRequest { run, help, version };

// Walks a whole command line: arguments that are no options (and all after "--") go into
// positional in order; every option goes to readOption, which takes its value from the reader and
// returns false for an option it does not know (a UsageError then). Stops at once at "--help"
// or "-h", and at "--version".
CommandLineRequest
readCommandLine(int argc, const char* const* argv, std::vector<std::string_view>& positional,
                const std::function<bool(std::string_view, ArgumentReader&)>& readOption);

// What --version prints: the program's name and the suite's version, on one line.
std::string versionLine(std::string_view program);

// Quotes a user-supplied text for an error message.
std::string inQuotes(std::string_view text);
// "a, b, c" for an error message that lists the choices; "none" for no names.
std::string listOf(const std::vector<std::string>& names);

} // namespace hosting
