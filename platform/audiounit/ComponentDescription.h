// Four-character codes and the description that names an audio-unit component.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Threads: plain values and constexpr functions; any thread.

// Four characters in one 32-bit word, the first character in the most significant byte.
using FourCharCode = std::uint32_t;
using OSType = FourCharCode;

// fourCharCode("aumu") == 0x61756D75. Characters beyond the fourth are ignored; a shorter
// text is padded with spaces, as the codes are in files.
constexpr FourCharCode fourCharCode(std::string_view text) noexcept {
  FourCharCode code = 0;
  for (std::size_t i = 0; i < 4; ++i)
    code = (code << 8) | static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
  return code;
}

// The four characters of a code, for messages ("aumu").
std::string fourCharCodeString(FourCharCode code);

inline constexpr OSType kAudioUnitType_Output = fourCharCode("auou");
inline constexpr OSType kAudioUnitType_MusicDevice = fourCharCode("aumu");
inline constexpr OSType kAudioUnitType_MusicEffect = fourCharCode("aumf");
inline constexpr OSType kAudioUnitType_Effect = fourCharCode("aufx");
inline constexpr OSType kAudioUnitType_Mixer = fourCharCode("aumx");
inline constexpr OSType kAudioUnitType_Generator = fourCharCode("augn");
inline constexpr OSType kAudioUnitType_MIDIProcessor = fourCharCode("aumi");

struct AudioComponentDescription {
  OSType componentType = 0;
  OSType componentSubType = 0;
  OSType componentManufacturer = 0;
  std::uint32_t componentFlags = 0;
  std::uint32_t componentFlagsMask = 0;

  bool operator==(const AudioComponentDescription&) const = default;
};

// Whether a registered description answers a query: type, subtype and manufacturer each
// match when equal or when the query's field is 0; flags match under the query's mask.
constexpr bool componentMatches(const AudioComponentDescription& registered,
                                const AudioComponentDescription& query) noexcept {
  auto field = [](OSType have, OSType want) { return want == 0 || have == want; };
  return field(registered.componentType, query.componentType) &&
         field(registered.componentSubType, query.componentSubType) &&
         field(registered.componentManufacturer, query.componentManufacturer) &&
         (registered.componentFlags & query.componentFlagsMask) ==
             (query.componentFlags & query.componentFlagsMask);
}

// "aumu/QrvI/ob*k", for messages.
std::string componentDescriptionString(const AudioComponentDescription& description);

using AudioComponentInstantiationOptions = std::uint32_t;
inline constexpr AudioComponentInstantiationOptions kAudioComponentInstantiation_LoadOutOfProcess =
    1;
inline constexpr AudioComponentInstantiationOptions kAudioComponentInstantiation_LoadInProcess = 2;
