// A stereo 32-bit float WAV written beside its destination and moved over it only when complete.
#pragma once

#include <memory>
#include <string>

namespace juce {
class AudioFormatWriter;
class TemporaryFile;
} // namespace juce

class WavOutputFile {
public:
  // Opens a hidden temporary file in the destination's folder. Throws UsageError when the
  // destination is a folder, its folder does not exist, or nothing can be written there.
  WavOutputFile(const std::string& destination, int sampleRate);
  // Removes the temporary file unless commit() succeeded.
  ~WavOutputFile();

  WavOutputFile(const WavOutputFile&) = delete;
  WavOutputFile& operator=(const WavOutputFile&) = delete;

  bool write(const float* left, const float* right, int frames);
  // Completes the file and renames it over the destination; false when any write failed.
  bool commit();

private:
  std::string destination;
  std::unique_ptr<juce::TemporaryFile> temporary;
  std::unique_ptr<juce::AudioFormatWriter> writer;
  long long framesWritten = 0;
  bool failed = false;
};
