// The home folder from the user database, and the paths below it.
#include "platform/foundation/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace foundation {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> absoluteFolder(const char* text) {
  if (text == nullptr || text[0] != '/')
    return std::nullopt;
  return fs::path(text);
}

std::optional<fs::path> homeFromDatabase() {
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::size_t size = suggested > 0 ? static_cast<std::size_t>(suggested) : 4096;
  // Entries from a network directory can exceed the suggested size; grow, within reason.
  for (; size <= (std::size_t{1} << 20); size *= 2) {
    std::vector<char> buffer(size);
    passwd entry{};
    passwd* result = nullptr;
    const int code = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result);
    if (code == ERANGE)
      continue;
    if (code != 0 || result == nullptr)
      return std::nullopt;
    return absoluteFolder(result->pw_dir);
  }
  return std::nullopt;
}

} // namespace

std::optional<fs::path> homeFolder() {
  if (auto home = homeFromDatabase())
    return home;
  return absoluteFolder(std::getenv("HOME"));
}

std::optional<fs::path> xdgBaseFolder(const char* variableValue,
                                      const std::optional<fs::path>& home,
                                      const fs::path& fallback) {
  if (auto folder = absoluteFolder(variableValue))
    return folder;
  if (!home)
    return std::nullopt;
  return *home / fallback;
}

std::optional<fs::path> dataHomeFolder() {
  return xdgBaseFolder(std::getenv("XDG_DATA_HOME"), homeFolder(), ".local/share");
}

std::optional<fs::path> configHomeFolder() {
  return xdgBaseFolder(std::getenv("XDG_CONFIG_HOME"), homeFolder(), ".config");
}

std::optional<fs::path> userPresetsFolder(std::string_view unit) {
  auto data = dataHomeFolder();
  if (!data)
    return std::nullopt;
  return *data / "Orrinbrook" / unit / "Presets";
}

std::optional<fs::path> userCataloguesFolder() {
  auto data = dataHomeFolder();
  if (!data)
    return std::nullopt;
  return *data / "Orrinbrook/Pallix/Catalogues";
}

std::optional<fs::path> appSettingsFile() {
  auto config = configHomeFolder();
  if (!config)
    return std::nullopt;
  return *config / "Orrinbrook/Quorvane.settings";
}

} // namespace foundation
