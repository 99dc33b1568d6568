// The generator's eight parameters: one row each, the source of every range, default, name and
// value name that the kernel, the unit, the editor and the plug-ins use.
#pragma once

#include "platform/foundation/ParameterTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pallix::engine {

// Hosts store automation and saved sessions by address, so the values never change. The tree
// lists the parameters in another order (the table's).
enum class PallixParameter : std::uint64_t {
  embroidery = 0,
  easiness = 1,
  etiquette = 2,
  exotica = 3,
  rootNote = 4,
  mode = 5,
  emotion = 6,
  evolution = 7,
};

// The addresses run from 0 to one below this, without gaps.
inline constexpr std::size_t kPallixParameterCount = 8;

constexpr std::uint64_t addressOf(PallixParameter parameter) noexcept {
  return static_cast<std::uint64_t>(parameter);
}

// The parameter at a host's address; none beyond the eight.
constexpr std::optional<PallixParameter> pallixParameterAt(std::uint64_t address) noexcept {
  if (address >= kPallixParameterCount)
    return std::nullopt;
  return static_cast<PallixParameter>(address);
}

inline constexpr std::array<std::string_view, 12> kRootNoteNames{"C",  "C#", "D",  "D#", "E",  "F",
                                                                 "F#", "G",  "G#", "A",  "A#", "B"};
inline constexpr std::array<std::string_view, 2> kModeNames{"Major", "Minor"};

namespace table {
using enum PallixParameter;
using enum foundation::ParameterUnit;
using enum foundation::ParameterTaper;
using Row = foundation::ParameterRow;

// The knob of a character parameter: 0 to 1 from the middle, and ramped by hosts.
constexpr Row knob(PallixParameter p, std::string_view identifier, std::string_view name) {
  return {addressOf(p), identifier, name, 0, 1, 0.5f, generic, linear, {}, 3, true};
}

// In tree order.
inline constexpr std::array<Row, kPallixParameterCount> kRows{{
    knob(embroidery, "embroidery", "Embroidery"),
    knob(easiness, "easiness", "Easiness"),
    knob(etiquette, "etiquette", "Etiquette"),
    knob(exotica, "exotica", "Exotica"),
    knob(emotion, "emotion", "Emotion"),
    knob(evolution, "evolution", "Evolution"),
    {addressOf(rootNote), "rootNote", "Root Note", 0, 11, 0, indexed, linear, kRootNoteNames},
    {addressOf(mode), "mode", "Mode", 0, 1, 0, indexed, linear, kModeNames},
}};
static_assert(foundation::isSoundTable(kRows, false));
} // namespace table

inline constexpr const auto& kPallixParameters = table::kRows;

constexpr const foundation::ParameterRow& rowOf(PallixParameter p) noexcept {
  return *foundation::rowAt(kPallixParameters, addressOf(p));
}

} // namespace pallix::engine
