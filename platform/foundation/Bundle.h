// The folder of the binary that holds a piece of code, and the resources shipped beside it.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace foundation {

// On Linux a bundle is the folder of a shared object or executable; its resources folder is
// the first that exists of <folder>/Resources, <folder>/../Resources (the VST3 layout
// X.vst3/Contents/x86_64-linux/X.so beside X.vst3/Contents/Resources) and
// <folder>/../share/orrinbrook (an installed program, PREFIX/bin/x beside the suite's shared
// resources), so that an install under any prefix finds its own.
// A Bundle is a plain value; every member may be called from any thread but the render thread
// (they touch the file system).
class Bundle {
public:
  // The bundle of the binary that contains addressInCode (a function or object of it). When
  // the address belongs to no loaded binary, both folders are empty.
  static Bundle of(const void* addressInCode);

  // The bundle of a binary that lives in folder (what of() uses once it has found the binary).
  static Bundle forBinaryFolder(std::filesystem::path folder);

  // A bundle whose resources live in the given folder, as for tests and --resources; it need
  // not exist, and then every lookup fails.
  static Bundle withResourcesFolder(std::filesystem::path resources);

  // The folder of the binary; empty for withResourcesFolder.
  const std::filesystem::path& folder() const noexcept { return folder_; }

  // The resources folder, or empty when the bundle has none.
  const std::filesystem::path& resourcesFolder() const noexcept { return resources_; }

  // <resources>/<subfolder>/<name>.<extension> when that is a regular file (or a link to one).
  // The extension is matched exactly as given; an empty one means the name alone. The name
  // must be one path component (no '/'); the subfolder may have several, none of them "..".
  std::optional<std::filesystem::path> resource(std::string_view name, std::string_view extension,
                                                std::string_view subfolder = {}) const;

  // <resources>/<subfolder> when that is a folder (or a link to one).
  std::optional<std::filesystem::path> resourceFolder(std::string_view subfolder) const;

private:
  Bundle(std::filesystem::path folder, std::filesystem::path resources);

  std::filesystem::path folder_;
  std::filesystem::path resources_;
};

} // namespace foundation
