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
  std::unique_ptr<juce::FileOutputStream> owned = file.takeStream();
  juce::WavAudioFormat wav;
  writer.reset(wav.createWriterFor(owned.get(), sampleRate, kChannels, kBitsPerSample, {}, 0));
  if (writer == nullptr)
    throw UsageError("cannot write " + inQuotes(path) + ": no WAV writer for this format");
  stream = owned.release(); // the writer owns it now
}

WavOutputFile::~WavOutputFile() {
  // Close the stream first, so the temporary file can go.
  writer.reset();
}

bool WavOutputFile::write(const float* left, const float* right, int frames) {
  const float* channels[kChannels] = {left, right};
  if (!failed && !writer->writeFromFloatArrays(channels, kChannels, frames))
    recordFailure();
  framesWritten += frames;
  return !failed;
}

void WavOutputFile::recordFailure() {
  failed = true;
  file.failWrite(stream);
}

bool WavOutputFile::commit() {
  if (failed)
    return false;
  // Buffered samples fail here, while the stream can still say why.
  stream->flush();
  if (stream->getStatus().failed()) {
    recordFailure();
    return false;
  }
  // Closing writes the final header; a short file afterwards means the disk ran out.
  writer.reset();
  stream = nullptr;
  if (file.temporaryFile().getSize() <
      framesWritten * kChannels * static_cast<long long>(sizeof(float))) {
    file.failWrite(nullptr);
    return false;
  }
  return file.commit();
}

} // namespace hosting
