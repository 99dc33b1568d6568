// An output file written beside its destination and moved over it only when complete.
#include "hosting/media/ReplacingOutputFile.h"

#include "hosting/CommandLine.h"

#include <juce_core/juce_core.h>

namespace hosting {

ReplacingOutputFile::ReplacingOutputFile(const std::string& destination) {
  const juce::File target = juce::File::getCurrentWorkingDirectory().getChildFile(destination);
  const juce::File folder = target.getParentDirectory();
  if (target.isDirectory())
    throw UsageError("cannot write " + inQuotes(destination) + ": it is a folder");
  if (!folder.isDirectory())
    throw UsageError("cannot write " + inQuotes(destination) + ": folder " +
                     inQuotes(folder.getFullPathName().toStdString()) + " does not exist");

  temporary_ = std::make_unique<juce::TemporaryFile>(target, juce::TemporaryFile::useHiddenFile);
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

bool ReplacingOutputFile::commit() {
  if (stream_) {
    stream_->flush();
    const bool written = stream_->getStatus().wasOk();
    stream_.reset();
    if (!written)
      return false;
  }
  return temporary_->overwriteTargetFileWithTemporary();
}

} // namespace hosting
