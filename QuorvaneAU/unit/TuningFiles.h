// Tunings read from Scala files into the synthesiser, each refusal named by file and line.
#pragma once

#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::unit {

// 12-tone equal temperament as a scale file: what a keyboard map alone maps.
extern const std::string_view kEqualTemperamentScale;

// The tunings shipped with the synthesiser: the tunings folder of this binary's resources.
std::filesystem::path shippedTuningsFolder();

// How a refused file is named in the reason: as given, or by its name alone (for an editor).
enum class FileNaming { asGiven, nameOnly };

// Plays the scale, mapped by the keyboard map when there is one. The unit's tuning is changed
// only on success; otherwise the reason, as "FILE:LINE: reason" (no line for a whole-file
// problem). Main thread.
std::optional<std::string> loadTuningFiles(QuorvaneAudioUnit& unit,
                                           const std::filesystem::path& scale,
                                           const std::optional<std::filesystem::path>& keyboardMap,
                                           FileNaming naming = FileNaming::asGiven);

// The scale the unit plays (equal temperament when none) mapped by this file instead.
std::optional<std::string> loadKeyboardMapFile(QuorvaneAudioUnit& unit,
                                               const std::filesystem::path& keyboardMap,
                                               FileNaming naming = FileNaming::asGiven);

// The scale from this file, keeping the unit's keyboard map if it has one.
std::optional<std::string> loadScaleFile(QuorvaneAudioUnit& unit,
                                         const std::filesystem::path& scale,
                                         FileNaming naming = FileNaming::asGiven);

} // namespace quorvane::unit
