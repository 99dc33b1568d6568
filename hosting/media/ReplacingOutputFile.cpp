// An output file written beside its destination and moved over it only when complete.
#include "hosting/media/ReplacingOutputFile.h"

#include "hosting/CommandLine.h"

#include <juce_core/juce_core.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace hosting {

ReplacingOutputFile::ReplacingOutputFile(const std::string& destination)
    : destination_(resolveOutputDestination(destination)) {
  if (destination_.standardOutput()) {
    temporary_ = std::make_unique<juce::TemporaryFile>(".out");
  } else {
    const juce::File target =
        juce::File::getCurrentWorkingDirectory().getChildFile(destination_.file.string());
    temporary_ = std::make_unique<juce::TemporaryFile>(target, juce::TemporaryFile::useHiddenFile);
  }
  stream_ = std::make_unique<juce::FileOutputStream>(temporary_->getFile());
  if (stream_->failedToOpen())
    throw UsageError("cannot write " + inQuotes(destination) + ": " +
                     stream_->getStatus().getErrorMessage().toStdString());
}

ReplacingOutputFile::~ReplacingOutputFile() = default;

std::unique_ptr<juce::FileOutputStream> ReplacingOutputFile::takeStream() noexcept {
  return std::move(stream_);
}

juce::File ReplacingOutputFile::temporaryFile() const { return temporary_->getFile(); }

void ReplacingOutputFile::failWrite(const juce::FileOutputStream* stream) {
  if (stream && stream->getStatus().failed()) {
    fail(stream->getStatus().getErrorMessage().toStdString());
    return;
  }
  // A short write sets no error; the next byte meets the reason.
  const std::string temporary = temporary_->getFile().getFullPathName().toStdString();
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  const char byte = 0;
  if (fd >= 0 && ::write(fd, &byte, 1) < 0)
    fail(std::generic_category().message(errno));
  else
    fail("the writer stopped");
  if (fd >= 0)
    ::close(fd);
}

bool ReplacingOutputFile::commit() {
  if (stream_) {
    stream_->flush();
    const juce::Result status = stream_->getStatus();
    stream_.reset();
    if (status.failed()) {
      fail(status.getErrorMessage().toStdString());
      return false;
    }
  }
  if (!failure_.empty())
    return false;
  if (destination_.standardOutput())
    return copyToStandardOutput();

  const std::string temporary = temporary_->getFile().getFullPathName().toStdString();
  if (const auto& kept = destination_.kept) {
    // Root may give the file back to its owner; anyone else keeps their own, as cp does.
    if (::chown(temporary.c_str(), kept->owner, kept->group) != 0 && errno != EPERM) {
      fail(std::generic_category().message(errno));
      return false;
    }
    if (::chmod(temporary.c_str(), kept->mode) != 0) {
      fail(std::generic_category().message(errno));
      return false;
    }
  }
  if (!temporary_->overwriteTargetFileWithTemporary()) {
    fail("cannot move the finished file into place");
    return false;
  }
  return true;
}

bool ReplacingOutputFile::copyToStandardOutput() {
  juce::FileInputStream input(temporary_->getFile());
  if (input.failedToOpen()) {
    fail(input.getStatus().getErrorMessage().toStdString());
    return false;
  }
  std::fflush(stdout);
  char chunk[65536];
  for (;;) {
    const int got = input.read(chunk, static_cast<int>(sizeof chunk));
    if (got <= 0)
      return true;
    for (int done = 0; done < got;) {
      const ssize_t written = ::write(STDOUT_FILENO, chunk + done, static_cast<size_t>(got - done));
      if (written < 0) {
        // An interruption also ends a write into a stalled pipe; the tool reports it as such.
        fail(std::generic_category().message(errno));
        return false;
      }
      done += static_cast<int>(written);
    }
  }
}

} // namespace hosting
