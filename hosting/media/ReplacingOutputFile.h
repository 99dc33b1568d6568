// An output file written beside its destination and moved over it only when complete, so a
// failed or interrupted run leaves whatever was there before; "-" writes standard output.
#pragma once

#include "hosting/OutputDestination.h"

#include <memory>
#include <string>

namespace juce {
class File;
class FileOutputStream;
class TemporaryFile;
} // namespace juce

namespace hosting {

class ReplacingOutputFile {
public:
  // Opens a hidden temporary file in the destination's folder (for standard output, in the
  // temporary folder: writers seek back to finish their headers, which a pipe cannot). Throws
  // UsageError as resolveOutputDestination does, or when nothing can be written there.
  explicit ReplacingOutputFile(const std::string& destination);
  // Removes the temporary file unless commit() succeeded.
  ~ReplacingOutputFile();

  ReplacingOutputFile(const ReplacingOutputFile&) = delete;
  ReplacingOutputFile& operator=(const ReplacingOutputFile&) = delete;

  // The stream into the temporary file, until takeStream() hands it to a writer that owns it.
  juce::FileOutputStream& stream() const noexcept { return *stream_; }
  std::unique_ptr<juce::FileOutputStream> takeStream() noexcept;
  juce::File temporaryFile() const;

  // Closes the stream if still held and renames the temporary file over the destination, with
  // the permission bits and owner of the file it replaces (or copies it to standard output);
  // false when a write through the held stream failed or the rename did, with failure() saying
  // why.
  bool commit();
  const std::string& failure() const noexcept { return failure_; }
  // Records, for failure(), why a write into the temporary file failed: the stream's error if
  // it has one, otherwise why the file cannot grow (a full disk, a size limit), found by trying.
  void failWrite(const juce::FileOutputStream* stream);

private:
  bool copyToStandardOutput();
  void fail(std::string why) { failure_ = std::move(why); }

  OutputDestination destination_;
  std::string failure_;
  // In this order, so the stream closes before the temporary file goes.
  std::unique_ptr<juce::TemporaryFile> temporary_;
  std::unique_ptr<juce::FileOutputStream> stream_;
};

} // namespace hosting
