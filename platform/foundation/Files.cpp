// File reads, atomic writes and folder listings over POSIX and std::filesystem.
#include "platform/foundation/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace foundation {

namespace fs = std::filesystem;

namespace {

void report(std::string* error, std::string message) {
  if (error != nullptr)
    *error = std::move(message);
}

std::string describe(int code) { return std::generic_category().message(code); }

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

// A temporary file beside target, created with the mode a new file would get (0666 less the
// umask), so the result is not left private to its writer.
std::pair<int, fs::path> createTemporaryBeside(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    // Hidden, so that folder listings never offer a half-written file.
    std::string name(".");
    name += target.filename().native().substr(0, 200); // room for the suffix within NAME_MAX
    name += ".tmp-";
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(counter++);
    fs::path path = folder / name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return {fd, std::move(path)};
  }
  errno = EEXIST;
  return {-1, {}};
}

} // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const fs::path& file, std::size_t maxBytes,
                                                       std::string* error) {
  // Non-blocking so that opening a FIFO cannot wait for a writer; it is refused below.
  Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    report(error, describe(errno));
    return std::nullopt;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    report(error, describe(errno));
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    report(error, S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file");
    return std::nullopt;
  }
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
    report(error, "larger than " + std::to_string(maxBytes) + " bytes");
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t chunk[65536];
    for (;;) { // to the end, not to the size fstat saw: the file may be growing
      const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
      if (got < 0 && errno == EINTR)
        continue;
      if (got < 0) {
        report(error, describe(errno));
        return std::nullopt;
      }
      if (got == 0)
        break;
      if (static_cast<std::size_t>(got) > maxBytes - bytes.size()) {
        report(error, "larger than " + std::to_string(maxBytes) + " bytes");
        return std::nullopt;
      }
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
  } catch (const std::bad_alloc&) {
    report(error, "out of memory");
    return std::nullopt;
  }
  return bytes;
}

bool writeFileAtomically(const fs::path& file, std::span<const std::uint8_t> bytes,
                         std::string* error) {
  if (file.filename().empty()) {
    report(error, "no file name");
    return false;
  }
  // Named rather than bound: clang 14, which builds the fuzz targets, cannot capture bindings.
  const auto created = createTemporaryBeside(file);
  const int fd = created.first;
  const fs::path& temporary = created.second;
  if (fd < 0) {
    report(error, describe(errno));
    return false;
  }
  const auto fail = [&](int code) {
    ::unlink(temporary.c_str());
    report(error, describe(code));
    return false;
  };
  if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
    const int code = errno;
    ::close(fd);
    return fail(code);
  }
  if (::close(fd) != 0)
    return fail(errno);
  if (::rename(temporary.c_str(), file.c_str()) != 0)
    return fail(errno);
  // Make the rename itself durable; the data is safe either way, so failure here is ignored.
  const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
  return true;
}

bool writeFileAtomically(const fs::path& file, std::string_view text, std::string* error) {
  return writeFileAtomically(
      file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), error);
}

std::optional<std::vector<fs::path>> listFolder(const fs::path& folder, std::string* error) {
  std::error_code code;
  std::vector<fs::path> entries;
  try {
    fs::directory_iterator it(folder, code);
    for (; !code && it != fs::directory_iterator(); it.increment(code)) {
      const fs::path& path = it->path();
      if (!path.filename().string().starts_with('.'))
        entries.push_back(path);
    }
  } catch (const std::bad_alloc&) {
    report(error, "out of memory");
    return std::nullopt;
  }
  if (code) {
    report(error, code.message());
    return std::nullopt;
  }
  std::sort(entries.begin(), entries.end(), [](const fs::path& a, const fs::path& b) {
    return a.filename().native() < b.filename().native();
  });
  return entries;
}

} // namespace foundation
