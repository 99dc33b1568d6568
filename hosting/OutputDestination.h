// What a tool's output path names: a regular file to replace, a new file, or standard output;
// anything else (a folder, a FIFO, a device) is refused before any work.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace hosting {

// The spelling of standard output as an output path.
inline constexpr std::string_view kStandardOutput = "-";

struct OutputDestination {
  // The file to replace or create: the path itself, or where its symbolic links lead, so the
  // links stay links. Empty for standard output.
  std::filesystem::path file;
  // The permission bits and owner of the file being replaced, for its replacement.
  struct Kept {
    mode_t mode;
    uid_t owner;
    gid_t group;
  };
  std::optional<Kept> kept;

  bool standardOutput() const noexcept { return file.empty(); }
};

// Throws UsageError naming destination when it is a folder, its folder does not exist, it is
// not a regular file (nor a link to one, nor absent), its links loop, or it may not be written.
OutputDestination resolveOutputDestination(std::string_view destination);

// Throws UsageError when output and input are one file (the same device and inode, links
// followed); what says which input it is ("the MIDI file").
void refuseOutputOverInput(std::string_view output, std::string_view input, std::string_view what);

} // namespace hosting
