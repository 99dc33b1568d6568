// Reading the files, and naming what was refused.
#include "QuorvaneAU/unit/TuningFiles.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Files.h"

namespace quorvane::unit {

const std::string_view kEqualTemperamentScale = "! 12-TET.scl\n"
                                                "12-tone equal temperament\n"
                                                " 12\n"
                                                "!\n"
                                                " 100.0\n 200.0\n 300.0\n 400.0\n 500.0\n 600.0\n"
                                                " 700.0\n 800.0\n 900.0\n 1000.0\n 1100.0\n 2/1\n";

std::filesystem::path shippedTuningsFolder() {
  static const int anchor = 0;
  return foundation::Bundle::of(&anchor).resourcesFolder() / "tunings";
}

namespace {

std::string nameOf(const std::filesystem::path& file, FileNaming naming) {
  return naming == FileNaming::nameOnly ? file.filename().string() : file.string();
}

// The file's text, or nothing with the reason in problem.
std::optional<std::string> readText(const std::filesystem::path& file, FileNaming naming,
                                    std::string& problem) {
  std::string why;
  // One byte past the limit tells a file too large from one that just fits.
  const auto bytes = foundation::readWholeFile(file, dsp::kMaxTuningFileBytes + 1, &why);
  if (!bytes) {
    problem = nameOf(file, naming).append(": cannot read it: ").append(why);
    return std::nullopt;
  }
  return std::string(bytes->begin(), bytes->end());
}

// Sets what was read; the reason names the file refused, with the line where there is one.
std::optional<std::string> apply(QuorvaneAudioUnit& unit, std::string_view scale,
                                 const std::filesystem::path& scaleFile,
                                 const std::optional<std::string>& map,
                                 const std::filesystem::path& mapFile, FileNaming naming) {
  const auto refusal =
      unit.setTuning(scale, map ? std::optional<std::string_view>(*map) : std::nullopt);
  if (!refusal)
    return std::nullopt;
  std::string reason = nameOf(refusal->inKeyboardMap ? mapFile : scaleFile, naming);
  if (refusal->problem.line > 0)
    reason.append(":").append(std::to_string(refusal->problem.line));
  return reason.append(": ").append(refusal->problem.reason);
}

} // namespace

std::optional<std::string> loadTuningFiles(QuorvaneAudioUnit& unit,
                                           const std::filesystem::path& scale,
                                           const std::optional<std::filesystem::path>& keyboardMap,
                                           FileNaming naming) {
  std::string problem;
  const auto scaleText = readText(scale, naming, problem);
  if (!scaleText)
    return problem;
  std::optional<std::string> map;
  if (keyboardMap && !(map = readText(*keyboardMap, naming, problem)))
    return problem;
  return apply(unit, *scaleText, scale, map, keyboardMap.value_or(""), naming);
}

std::optional<std::string> loadKeyboardMapFile(QuorvaneAudioUnit& unit,
                                               const std::filesystem::path& keyboardMap,
                                               FileNaming naming) {
  std::string problem;
  const auto map = readText(keyboardMap, naming, problem);
  if (!map)
    return problem;
  const std::string scale =
      unit.tuning() ? unit.tuning()->scale : std::string(kEqualTemperamentScale);
  return apply(unit, scale, "the scale", map, keyboardMap, naming);
}

std::optional<std::string> loadScaleFile(QuorvaneAudioUnit& unit,
                                         const std::filesystem::path& scale, FileNaming naming) {
  std::string problem;
  const auto scaleText = readText(scale, naming, problem);
  if (!scaleText)
    return problem;
  const std::optional<std::string> map = unit.tuning() ? unit.tuning()->keyboardMap : std::nullopt;
  return apply(unit, *scaleText, scale, map, "the keyboard map", naming);
}

} // namespace quorvane::unit
