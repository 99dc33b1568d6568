// Reads Scala scales and keyboard mappings, and tunes the 128 MIDI notes by them.
#include "QuorvaneAU/dsp/ScalaTuning.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace quorvane::dsp {
namespace {

constexpr std::string_view kSpace = " \t\r\v\f";

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(kSpace);
  if (first == std::string_view::npos)
    return {};
  return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

std::string_view firstToken(std::string_view line) {
  line = trim(line);
  return line.substr(0, line.find_first_of(kSpace));
}

bool onlyDigits(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// Digits alone, no sign; past LLONG_MAX reads as LLONG_MAX, so range checks refuse it.
std::optional<long long> wholeNumber(std::string_view s) {
  if (!onlyDigits(s))
    return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  return error == std::errc::result_out_of_range ? LLONG_MAX : value;
}

// A decimal without exponent: "-5.0", "100.", ".5", "440". Past double's range it is
// infinite (or 0 when it is that small), for the caller to refuse.
std::optional<double> decimal(std::string_view s) {
  const bool negative = s.starts_with('-');
  if (negative || s.starts_with('+'))
    s.remove_prefix(1);
  const auto point = s.find('.');
  const auto whole = s.substr(0, point);
  const auto fraction = point == std::string_view::npos ? std::string_view{} : s.substr(point + 1);
  if ((!whole.empty() && !onlyDigits(whole)) || (!fraction.empty() && !onlyDigits(fraction)) ||
      whole.size() + fraction.size() == 0)
    return std::nullopt;
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
  if (error == std::errc::result_out_of_range)
    value = whole.find_first_not_of('0') == std::string_view::npos ? 0.0 : INFINITY;
  return negative ? -value : value;
}

struct Pitch {
  double cents = 0.0;
  const char* problem = nullptr;
};

// A token with a '.' is cents; otherwise a ratio "a/b" or a whole number "a".
Pitch pitchCents(std::string_view token) {
  double cents = 0.0;
  if (token.find('.') != std::string_view::npos) {
    const auto value = decimal(token);
    if (!value)
      return {0.0, "unreadable pitch"};
    cents = *value;
  } else {
    const auto slash = token.find('/');
    const auto top = token.substr(0, slash);
    const auto bottom = slash == std::string_view::npos ? "1" : token.substr(slash + 1);
    const auto withoutMinus = [](std::string_view part) {
      return part.starts_with('-') ? part.substr(1) : part;
    };
    if (!onlyDigits(withoutMinus(top)) || !onlyDigits(withoutMinus(bottom)))
      return {0.0, "unreadable pitch"};
    // Read as doubles: whole numbers past 2^53 are rounded, not refused.
    const double a = *decimal(top), b = *decimal(bottom);
    if (b == 0.0)
      return {0.0, "a ratio cannot have 0 below"};
    if (!(a > 0.0) || !(b > 0.0))
      return {0.0, "a ratio must be positive"};
    // Apart, so that a huge denominator does not underflow the quotient.
    cents = 1200.0 * (std::log2(a) - std::log2(b));
  }
  if (!std::isfinite(cents))
    return {0.0, "the pitch is not a finite number"};
  return {cents, nullptr};
}

// The lines of a file after any UTF-8 byte order mark, without comments, numbered from 1.
class Lines {
public:
  explicit Lines(std::string_view text) : rest_(text) {
    if (rest_.starts_with("\xEF\xBB\xBF"))
      rest_.remove_prefix(3);
  }

  // The next line, or nullopt at the end of the text.
  std::optional<std::string_view> next(bool skipBlank) {
    while (!rest_.empty()) {
      const auto end = rest_.find('\n');
      const auto line = rest_.substr(0, end);
      rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
      ++number_; // a CR before the LF goes with the trimming of each line
      if (!line.starts_with('!') && !(skipBlank && trim(line).empty()))
        return line;
    }
    return std::nullopt;
  }

  int number() const { return number_; }

private:
  std::string_view rest_;
  int number_ = 0;
};

// One of a keyboard map's whole numbers, 0 ... high, into `into`.
std::optional<TuningProblem> readWhole(Lines& lines, int& into, const std::string& name, int high) {
  const auto line = lines.next(true);
  if (!line)
    return TuningProblem{0, "no " + name};
  const auto value = wholeNumber(firstToken(*line));
  if (!value || *value > high)
    return TuningProblem{
        lines.number(),
        "the " + name + " must be a whole number " +
            (high == INT_MAX ? std::string("of 0 or more") : "from 0 to " + std::to_string(high))};
  into = static_cast<int>(*value);
  return std::nullopt;
}

long long floorDiv(long long a, long long b) {
  const long long q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

TuningRead<ScalaScale> readScala(std::string_view text) {
  if (text.size() > kMaxTuningFileBytes)
    return TuningProblem{0, "larger than 1 MiB"};
  Lines lines(text);
  const auto description = lines.next(false);
  const auto countLine = description ? lines.next(false) : std::nullopt;
  if (!countLine)
    return TuningProblem{0, "no count of pitches"};
  const int countAt = lines.number();
  const auto count = wholeNumber(trim(*countLine));
  if (!count)
    return TuningProblem{countAt, "the count of pitches is not a whole number"};
  if (*count > static_cast<long long>(kMaxScaleDegrees))
    return TuningProblem{countAt, "more than 1024 degrees"};
  if (*count == 0)
    return TuningProblem{countAt, "a scale needs at least one degree"};

  ScalaScale scale{std::string(trim(*description)), {}};
  for (long long i = 0; i < *count; ++i) {
    const auto line = lines.next(false);
    if (!line)
      return TuningProblem{countAt, std::to_string(i) + (i == 1 ? " pitch" : " pitches") +
                                        ", the count says " + std::to_string(*count)};
    const Pitch pitch = pitchCents(firstToken(*line));
    if (pitch.problem)
      return TuningProblem{lines.number(), pitch.problem};
    scale.cents.push_back(pitch.cents);
  }
  if (!(scale.cents.back() > 0.0))
    return TuningProblem{lines.number(), "the period must be above 1/1"};
  return scale;
}

TuningRead<KeyboardMap> readKeyboardMap(std::string_view text) {
  if (text.size() > kMaxTuningFileBytes)
    return TuningProblem{0, "larger than 1 MiB"};
  // No value of a map is blank, so blank lines (as at the end of a short mapping) are skipped.
  Lines lines(text);
  KeyboardMap map;
  if (auto problem = readWhole(lines, map.mapSize, "map size", static_cast<int>(kMaxScaleDegrees)))
    return *problem;
  if (auto problem = readWhole(lines, map.firstNote, "first note", 127))
    return *problem;
  if (auto problem = readWhole(lines, map.lastNote, "last note", 127))
    return *problem;
  if (map.lastNote < map.firstNote)
    return TuningProblem{lines.number(), "the last note is below the first note"};
  if (auto problem = readWhole(lines, map.middleNote, "middle note", 127))
    return *problem;
  if (auto problem = readWhole(lines, map.referenceNote, "reference note", 127))
    return *problem;

  const auto frequencyLine = lines.next(true);
  if (!frequencyLine)
    return TuningProblem{0, "no reference frequency"};
  const auto frequency = decimal(firstToken(*frequencyLine));
  if (!frequency || !std::isfinite(*frequency) || !(*frequency > 0.0))
    return TuningProblem{lines.number(), "the reference frequency must be a positive number"};
  map.referenceFrequency = *frequency;
  if (auto problem = readWhole(lines, map.octaveDegree, "formal octave degree", INT_MAX))
    return *problem;

  for (int i = 0; i < map.mapSize; ++i) {
    const auto line = lines.next(true);
    if (!line)
      break;
    const auto token = firstToken(*line);
    const auto degree = wholeNumber(token);
    if (token != "x" && (!degree || *degree > INT_MAX))
      return TuningProblem{lines.number(), "a mapping entry must be a scale degree or x"};
    map.mapping.push_back(token == "x" ? std::nullopt
                                       : std::optional<int>(static_cast<int>(*degree)));
  }
  map.mapping.resize(static_cast<std::size_t>(map.mapSize));
  return map;
}

TuningRead<NoteFrequencies> noteFrequencies(const ScalaScale& scale, const KeyboardMap* map) {
  // Scales and maps may be made by hand, not read: refuse what would divide by 0 or index out.
  const auto& cents = scale.cents;
  if (cents.empty())
    return TuningProblem{0, "a scale needs at least one degree"};
  if (cents.size() > kMaxScaleDegrees)
    return TuningProblem{0, "more than 1024 degrees"};
  for (const double c : cents)
    if (!std::isfinite(c))
      return TuningProblem{0, "a degree is not a finite number"};
  if (!(cents.back() > 0.0))
    return TuningProblem{0, "the period must be above 1/1"};
  if (map && (map->mapSize < 0 || map->mapSize > static_cast<int>(kMaxScaleDegrees)))
    return TuningProblem{0, "the map size must be a whole number from 0 to 1024"};

  const auto degrees = static_cast<long long>(cents.size());
  const auto centsOf = [&](long long degree) {
    const long long periods = floorDiv(degree, degrees), step = degree - periods * degrees;
    return static_cast<double>(periods) * cents.back() +
           (step == 0 ? 0.0 : cents[static_cast<std::size_t>(step - 1)]);
  };
  const auto degreeOf = [&](int key) -> std::optional<long long> {
    if (!map)
      return key - 60LL;
    const long long offset = static_cast<long long>(key) - map->middleNote;
    if (map->mapSize == 0)
      return offset;
    const long long repeats = floorDiv(offset, map->mapSize);
    const auto index = static_cast<std::size_t>(offset - repeats * map->mapSize);
    if (index >= map->mapping.size() || !map->mapping[index])
      return std::nullopt;
    return *map->mapping[index] + repeats * (map->octaveDegree == 0 ? degrees : map->octaveDegree);
  };

  // Without a map, degree 0 is key 60's equal-tempered pitch: A 440 is 900 cents above it.
  double referenceHz = 440.0, referenceCents = 900.0;
  if (map) {
    const auto degree = degreeOf(map->referenceNote);
    if (!degree)
      return TuningProblem{0, "the reference note is not mapped"};
    referenceHz = map->referenceFrequency;
    referenceCents = centsOf(*degree);
  }
  NoteFrequencies notes;
  for (int key = 0; key < 128; ++key) {
    const auto degree = degreeOf(key);
    if (!degree || (map && (key < map->firstNote || key > map->lastNote)))
      continue;
    const double hz = referenceHz * std::exp2((centsOf(*degree) - referenceCents) / 1200.0);
    if (!std::isfinite(hz) || !(hz > 0.0))
      return TuningProblem{0, "note " + std::to_string(key) + "'s frequency is not a number"};
    notes.hz[static_cast<std::size_t>(key)] = hz;
  }
  return notes;
}

} // namespace quorvane::dsp
