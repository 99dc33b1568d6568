// Files the tool tests make and inspect: a private temporary folder, MIDI files, WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace juce {
class MidiMessageSequence;
}

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TemporaryFolder {
public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  std::string path(const std::string& name) const { return root + "/" + name; }
  std::vector<std::string> entries() const; // names, sorted

private:
  std::string root;
};

// Writes a type-1 MIDI file with timestamps in ticks.
void writeMidiFile(const std::string& path, const std::vector<juce::MidiMessageSequence>& tracks,
                   int ticksPerQuarter = 480);

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::string readText(const std::string& path);

struct WavContents {
  int channels = 0;
  int bitsPerSample = 0;
  bool floatingPoint = false;
  double sampleRate = 0.0;
  std::vector<float> left;
  std::vector<float> right;
};

// Reads a WAV file; channels stays 0 when it cannot be read.
WavContents readWavFile(const std::string& path);
