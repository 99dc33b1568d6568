// Files the tool tests make and inspect.
#include "ToolTestFiles.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TemporaryFolder::TemporaryFolder() {
  char pattern[] = "/tmp/quorvane-render-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr)
    throw std::runtime_error("cannot create a temporary folder");
  root = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

std::vector<std::string> TemporaryFolder::entries() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(root))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void writeMidiFile(const std::string& path, const std::vector<juce::MidiMessageSequence>& tracks,
                   int ticksPerQuarter) {
  juce::MidiFile file;
  file.setTicksPerQuarterNote(ticksPerQuarter);
  for (const auto& track : tracks)
    file.addTrack(track);
  juce::File(path).deleteFile(); // a FileOutputStream appends to what is there
  juce::FileOutputStream stream{juce::File(path)};
  if (!stream.openedOk() || !file.writeTo(stream, 1))
    throw std::runtime_error("cannot write " + path);
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

WavContents readWavFile(const std::string& path) {
  WavContents wav;
  juce::WavAudioFormat format;
  std::unique_ptr<juce::AudioFormatReader> reader(
      format.createReaderFor(new juce::FileInputStream(juce::File(path)), true));
  if (reader == nullptr)
    return wav;
  wav.channels = static_cast<int>(reader->numChannels);
  wav.bitsPerSample = static_cast<int>(reader->bitsPerSample);
  wav.floatingPoint = reader->usesFloatingPointData;
  wav.sampleRate = reader->sampleRate;
  const auto frames = static_cast<int>(reader->lengthInSamples);
  juce::AudioBuffer<float> buffer(std::max(wav.channels, 2), frames);
  buffer.clear();
  reader->read(&buffer, 0, frames, 0, true, true);
  wav.left.assign(buffer.getReadPointer(0), buffer.getReadPointer(0) + frames);
  wav.right.assign(buffer.getReadPointer(1), buffer.getReadPointer(1) + frames);
  return wav;
}
