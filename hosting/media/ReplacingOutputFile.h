// An output file written beside its destination and moved over it only when complete, so a
// failed or interrupted run leaves whatever was there before.
#pragma once

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
  // Opens a hidden temporary file in the destination's folder. Throws UsageError when the
  // destination is a folder, its folder does not exist, or nothing can be written there.
  explicit ReplacingOutputFile(const std::string& destination);
  // Removes the temporary file unless commit() succeeded.
  ~ReplacingOutputFile();

  ReplacingOutputFile(const ReplacingOutputFile&) = delete;
  ReplacingOutputFile& operator=(const ReplacingOutputFile&) = delete;

  // The stream into the temporary file, until takeStream() hands it to a writer that owns it.
  juce::FileOutputStream& stream() const noexcept { return *stream_; }
  std::unique_ptr<juce::FileOutputStream> takeStream() noexcept;
  juce::File temporaryFile() const;

  // Closes the stream if still held and renames the temporary file over the destination; false
  // when a write through the held stream failed or the rename did.
  bool commit();

private:
  // In this order, so the stream closes before the temporary file goes.
  std::unique_ptr<juce::TemporaryFile> temporary_;
  std::unique_ptr<juce::FileOutputStream> stream_;
};

} // namespace hosting
