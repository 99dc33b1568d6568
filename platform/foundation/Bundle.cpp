// Finding a binary's folder with dladdr, and its resources.
#include "platform/foundation/Bundle.h"

#include <dlfcn.h>
#include <link.h>

#include <system_error>

namespace foundation {

namespace fs = std::filesystem;

namespace {

bool isFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// The file of the loaded binary that contains address, with symbolic links resolved so that
// a link to a binary finds the resources beside the real one.
std::optional<fs::path> binaryContaining(const void* address) {
  Dl_info info{};
  link_map* map = nullptr;
  if (address == nullptr ||
      dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0)
    return std::nullopt;
  // The main program's link-map entry has an empty name, and dladdr then reports argv[0],
  // which may be relative or a bare name found on PATH; the kernel knows the real file.
  const bool mainProgram = map == nullptr || map->l_name == nullptr || map->l_name[0] == '\0';
  const fs::path file = mainProgram ? fs::path("/proc/self/exe") : fs::path(map->l_name);
  std::error_code error;
  fs::path resolved = fs::canonical(file, error);
  if (error)
    return std::nullopt;
  return resolved;
}

// Appends a relative path given as text, refusing anything that could climb out of base.
std::optional<fs::path> within(const fs::path& base, std::string_view relative) {
  const fs::path part(relative);
  if (base.empty() || part.is_absolute())
    return std::nullopt;
  if (part.empty())
    return base;
  for (const auto& component : part)
    if (component == "..")
      return std::nullopt;
  return base / part;
}

} // namespace

Bundle::Bundle(fs::path folder, fs::path resources)
    : folder_(std::move(folder)), resources_(std::move(resources)) {}

Bundle Bundle::of(const void* addressInCode) {
  const auto binary = binaryContaining(addressInCode);
  if (!binary)
    return Bundle({}, {});
  return forBinaryFolder(binary->parent_path());
}

Bundle Bundle::forBinaryFolder(fs::path folder) {
  folder = folder.lexically_normal();
  if (!folder.has_filename() && folder.has_relative_path())
    folder = folder.parent_path(); // "a/b/" has the parent "a/b", not "a"
  for (const fs::path& candidate : {folder / "Resources", folder.parent_path() / "Resources",
                                    folder.parent_path() / "share" / "orrinbrook"})
    if (isFolder(candidate))
      return Bundle(std::move(folder), candidate);
  return Bundle(std::move(folder), {});
}

Bundle Bundle::withResourcesFolder(fs::path resources) { return Bundle({}, std::move(resources)); }

std::optional<fs::path> Bundle::resource(std::string_view name, std::string_view extension,
                                         std::string_view subfolder) const {
  if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..")
    return std::nullopt;
  const auto folder = within(resources_, subfolder);
  if (!folder)
    return std::nullopt;
  std::string file(name);
  if (!extension.empty()) {
    file += '.';
    file += extension;
  }
  fs::path path = *folder / file;
  std::error_code error;
  if (!fs::is_regular_file(path, error))
    return std::nullopt;
  return path;
}

std::optional<fs::path> Bundle::resourceFolder(std::string_view subfolder) const {
  auto path = within(resources_, subfolder);
  if (!path || !isFolder(*path))
    return std::nullopt;
  return path;
}

} // namespace foundation
