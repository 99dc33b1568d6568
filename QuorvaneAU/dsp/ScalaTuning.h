// Scala tunings: scales (.scl) and keyboard mappings (.kbm) read from their text, and the
// frequency each MIDI note sounds at under them. Bad files are refused with the line and the
// reason, never thrown.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorvane::dsp {

inline constexpr std::size_t kMaxTuningFileBytes = std::size_t{1} << 20;
inline constexpr std::size_t kMaxScaleDegrees = 1024;

// Why a file was refused. line: 1-based line of the file, 0 for the whole file.
struct TuningProblem {
  int line = 0;
  std::string reason;
};

struct ScalaScale {
  std::string description;
  std::vector<double> cents; // degrees 1 ... n in cents above 1/1; the last is the period
};

struct KeyboardMap {
  int mapSize = 0; // 0: linear, a key's offset from the middle note is its degree offset
  int firstNote = 0, lastNote = 127, middleNote = 60, referenceNote = 69;
  double referenceFrequency = 440.0;
  int octaveDegree = 0; // the degree a map's repeat moves by; 0: the scale's period
  std::vector<std::optional<int>> mapping; // mapSize entries; nullopt: the key plays nothing
};

template <class T> using TuningRead = std::variant<T, TuningProblem>;

TuningRead<ScalaScale> readScala(std::string_view text);
TuningRead<KeyboardMap> readKeyboardMap(std::string_view text);

// Hz of every MIDI note 0 ... 127; nullopt for a key the map leaves unmapped.
struct NoteFrequencies {
  std::array<std::optional<double>, 128> hz;
};

// Without a map (null), key 60 sounds degree 0 at its equal-tempered pitch, 440 * 2^(-9/12),
// and each key up or down is a degree.
TuningRead<NoteFrequencies> noteFrequencies(const ScalaScale& scale, const KeyboardMap* map);

} // namespace quorvane::dsp
