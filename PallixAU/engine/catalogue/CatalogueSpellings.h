// The JSON spellings of the catalogue enumerations, indexed by ordinal.
#pragma once

#include "PallixAU/engine/catalogue/CatalogueFormat.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace pallix::engine {

// For each enumeration: its spellings and what decoding errors call it ("unknown slot tag x").
template <typename E> struct CatalogueSpellings;

template <> struct CatalogueSpellings<SlotTag> {
  static constexpr std::string_view what = "slot tag";
  static constexpr std::array<std::string_view, 5> names{"turnaround", "fillBar4", "fillBar8",
                                                         "fillBar3to4", "fillBar7to8"};
};

template <> struct CatalogueSpellings<Mode> {
  static constexpr std::string_view what = "mode";
  static constexpr std::array<std::string_view, 2> names{"major", "minor"};
};

template <> struct CatalogueSpellings<Tier> {
  static constexpr std::string_view what = "tier";
  static constexpr std::array<std::string_view, 3> names{"basic", "quickFour", "jazz"};
};

template <> struct CatalogueSpellings<PulseSpacingClass> {
  static constexpr std::string_view what = "spacing class";
  static constexpr std::array<std::string_view, 2> names{"simple", "compound"};
};

template <> struct CatalogueSpellings<MutationKind> {
  static constexpr std::string_view what = "mutation kind";
  static constexpr std::array<std::string_view, 3> names{"drop", "octaveShift", "graceNote"};
};

template <> struct CatalogueSpellings<VoiceTag> {
  static constexpr std::string_view what = "voice tag";
  static constexpr std::array<std::string_view, 3> names{"bass", "melody", "chordStab"};
};

// Bit 1 << i is spelled suspensionFlagNames[i]; sets are written in this order.
inline constexpr std::array<std::string_view, 3> suspensionFlagNames{"bass", "chordFirst",
                                                                     "offbeats"};

// The spelling of value; empty for a value outside the enumeration. Any thread, real-time safe.
template <typename E> constexpr std::string_view spellingOf(E value) noexcept {
  const auto ordinal = static_cast<std::size_t>(value);
  const auto& names = CatalogueSpellings<E>::names;
  return ordinal < names.size() ? names[ordinal] : std::string_view{};
}

// The value spelled name, exactly (case matters). Any thread, real-time safe.
template <typename E> constexpr std::optional<E> valueSpelled(std::string_view name) noexcept {
  const auto& names = CatalogueSpellings<E>::names;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name)
      return static_cast<E>(i);
  return std::nullopt;
}

} // namespace pallix::engine
