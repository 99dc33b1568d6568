// A stereo 32-bit float WAV written beside its destination and moved over it only when complete.
#pragma once

#include "hosting/media/ReplacingOutputFile.h"

#include <memory>
#include <string>

namespace juce {
class AudioFormatWriter;
class FileOutputStream;
} // namespace juce

namespace hosting {

class WavOutputFile {
public:
  // Throws UsageError as ReplacingOutputFile does, or when no WAV writer can be made.
  WavOutputFile(const std::string& destination, int sampleRate);
  // Removes the temporary file unless commit() succeeded.
  ~WavOutputFile();

  WavOutputFile(const WavOutputFile&) = delete;
  WavOutputFile& operator=(const WavOutputFile&) = delete;

  bool write(const float* left, const float* right, int frames);
  // Completes the file and renames it over the destination; false when any write failed, with
  // failure() saying why.
  bool commit();
  const std::string& failure() const noexcept { return file.failure(); }

private:
  ReplacingOutputFile file;
  std::unique_ptr<juce::AudioFormatWriter> writer;
  juce::FileOutputStream* stream = nullptr; // the writer's, for why a write failed
  long long framesWritten = 0;
  bool failed = false;

  void recordFailure();
};

} // namespace hosting
