// What a tool's output path names, from lstat and stat.
#include "hosting/OutputDestination.h"

#include "hosting/CommandLine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace hosting {

namespace fs = std::filesystem;

namespace {

// As many links as the kernel follows before it reports a loop.
constexpr int kMaxLinks = 40;

[[noreturn]] void refuse(std::string_view destination, std::string_view why) {
  throw UsageError("cannot write " + inQuotes(destination) + ": " + std::string(why));
}

std::string describe(int code) { return std::generic_category().message(code); }

const char* kindOf(mode_t mode) noexcept {
  if (S_ISFIFO(mode))
    return "it is a FIFO, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode))
    return "it is a device, not a regular file";
  if (S_ISSOCK(mode))
    return "it is a socket, not a regular file";
  return "it is not a regular file";
}

} // namespace

OutputDestination resolveOutputDestination(std::string_view destination) {
  if (destination == kStandardOutput)
    return {};
  if (destination.empty())
    refuse(destination, "no file name");

  fs::path file(destination);
  for (int links = 0;; ++links) {
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0) {
      if (errno != ENOENT)
        refuse(destination, describe(errno));
      break; // a new file, perhaps where a dangling link points
    }
    if (S_ISLNK(info.st_mode)) {
      if (links == kMaxLinks)
        refuse(destination, "its symbolic links loop");
      std::error_code error;
      const fs::path target = fs::read_symlink(file, error);
      if (error)
        refuse(destination, error.message());
      file = target.is_absolute() ? target : file.parent_path() / target;
      continue;
    }
    if (S_ISDIR(info.st_mode))
      refuse(destination, "it is a folder");
    if (!S_ISREG(info.st_mode))
      refuse(destination, kindOf(info.st_mode));
    // Renaming over a file needs only the folder writable; whoever may not write the file may
    // not replace it either.
    if (::access(file.c_str(), W_OK) != 0)
      refuse(destination, describe(errno));
    return {file, OutputDestination::Kept{info.st_mode & 07777, info.st_uid, info.st_gid}};
  }

  const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    refuse(destination, "folder " + inQuotes(folder.string()) + " does not exist");
  return {file, std::nullopt};
}

void refuseOutputOverInput(std::string_view output, std::string_view input, std::string_view what) {
  if (output == kStandardOutput)
    return;
  struct stat out {};
  struct stat in {};
  if (::stat(std::string(output).c_str(), &out) != 0 ||
      ::stat(std::string(input).c_str(), &in) != 0)
    return; // a new output cannot be the input; an unreadable input is reported where it is read
  if (out.st_dev == in.st_dev && out.st_ino == in.st_ino)
    throw UsageError("cannot write " + inQuotes(output) + ": it is " + std::string(what) + " " +
                     inQuotes(input));
}

} // namespace hosting
