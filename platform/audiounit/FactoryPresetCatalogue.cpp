// Listing, ordering, naming and loading factory presets.
#include "platform/audiounit/FactoryPresetCatalogue.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/NaturalOrder.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kExtension = "aupreset";
// Presets are a few kilobytes; anything this large is not one.
constexpr std::size_t kMaxPresetBytes = 16 * 1024 * 1024;

bool hasPresetExtension(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension.size() == kExtension.size() + 1 && extension.substr(1) == kExtension;
}

} // namespace

FactoryPresetCatalogue::FactoryPresetCatalogue(const foundation::Bundle& bundle,
                                               std::string_view folder) {
  const auto location = bundle.resourceFolder(folder);
  if (!location)
    return;
  auto files = foundation::listFolder(*location);
  if (!files)
    return;
  std::erase_if(*files, [](const std::filesystem::path& f) { return !hasPresetExtension(f); });
  // By file name, extension included, as a file browser orders them.
  std::sort(files->begin(), files->end(), [](const auto& a, const auto& b) {
    return foundation::naturalLess(a.filename().string(), b.filename().string());
  });
  for (std::filesystem::path& file : *files) {
    std::string filename = file.stem().string();
    std::string name = displayName(filename);
    entries_.push_back({std::move(filename), std::move(name), std::move(file)});
  }
}

std::string FactoryPresetCatalogue::displayName(std::string_view filename) {
  const std::size_t dash = filename.find('-');
  if (dash == std::string_view::npos || dash == 0)
    return std::string(filename);
  const std::string_view prefix = filename.substr(0, dash);
  const bool numeric = std::all_of(prefix.begin(), prefix.end(),
                                   [](unsigned char c) { return std::isdigit(c) != 0; });
  return std::string(numeric ? filename.substr(dash + 1) : filename);
}

std::optional<foundation::PropertyList> FactoryPresetCatalogue::load(long number) const {
  if (number < 0 || static_cast<std::size_t>(number) >= entries_.size())
    return std::nullopt;
  const auto bytes =
      foundation::readWholeFile(entries_[static_cast<std::size_t>(number)].file, kMaxPresetBytes);
  if (!bytes)
    return std::nullopt;
  foundation::PropertyList::ReadResult parsed = foundation::PropertyList::read(*bytes);
  if (!parsed.value || !parsed.value->dictionary())
    return std::nullopt;
  return std::move(parsed.value);
}
