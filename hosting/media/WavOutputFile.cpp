// A stereo 32-bit float WAV written beside its destination and moved over it only when complete.
#include "hosting/media/WavOutputFile.h"

#include "hosting/CommandLine.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace hosting {

namespace {
constexpr int kChannels = 2;
constexpr int kBitsPerSample = 32; // JUCE writes 32-bit WAV data as IEEE float
} // namespace

WavOutputFile::WavOutputFile(const std::string& path, int sampleRate) : file(path) {
  std::unique_ptr<juce::FileOutputStream> stream = file.takeStream();
  juce::WavAudioFormat wav;
  writer.reset(wav.createWriterFor(stream.get(), sampleRate, kChannels, kBitsPerSample, {}, 0));
  if (writer == nullptr)
    throw UsageError("cannot write " + inQuotes(path) + ": no WAV writer for this format");
  stream.release(); // the writer owns it now
}

WavOutputFile::~WavOutputFile() {
  // Close the stream first, so the temporary file can go.
  writer.reset();
}

bool WavOutputFile::write(const float* left, const float* right, int frames) {
  const float* channels[kChannels] = {left, right};
  if (!writer->writeFromFloatArrays(channels, kChannels, frames))
    failed = true;
  framesWritten += frames;
  return !failed;
}

bool WavOutputFile::commit() {
  if (failed)
    return false;
  // Closing writes the final header; a short file afterwards means the disk ran out.
  writer.reset();
  if (file.temporaryFile().getSize() <
      framesWritten * kChannels * static_cast<long long>(sizeof(float)))
    return false;
  return file.commit();
}

} // namespace hosting
