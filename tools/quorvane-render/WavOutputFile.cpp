// A stereo 32-bit float WAV written beside its destination and moved over it only when complete.
#include "tools/quorvane-render/WavOutputFile.h"

#include "tools/common/CommandLine.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace {
constexpr int kChannels = 2;
constexpr int kBitsPerSample = 32; // JUCE writes 32-bit WAV data as IEEE float
} // namespace

WavOutputFile::WavOutputFile(const std::string& path, int sampleRate) : destination(path) {
  const juce::File target = juce::File::getCurrentWorkingDirectory().getChildFile(path);
  const juce::File folder = target.getParentDirectory();
  if (target.isDirectory())
    throw UsageError("cannot write " + inQuotes(path) + ": it is a folder");
  if (!folder.isDirectory())
    throw UsageError("cannot write " + inQuotes(path) + ": folder " +
                     inQuotes(folder.getFullPathName().toStdString()) + " does not exist");

  temporary = std::make_unique<juce::TemporaryFile>(target, juce::TemporaryFile::useHiddenFile);
  auto stream = std::make_unique<juce::FileOutputStream>(temporary->getFile());
  if (stream->failedToOpen())
    throw UsageError("cannot write " + inQuotes(path) + ": " +
                     stream->getStatus().getErrorMessage().toStdString());

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
  const juce::File file = temporary->getFile();
  if (file.getSize() < framesWritten * kChannels * static_cast<long long>(sizeof(float)))
    return false;
  return temporary->overwriteTargetFileWithTemporary();
}
