// A fresh folder under /tmp for one test of a command-line tool, and the tool run in it as a
// user runs it.
#pragma once

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

inline std::string readText(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// A WAV file's samples and its format in words ("2 channels of 32-bit float at 44100"); empty
// when it cannot be read.
struct Wav {
  std::string format;
  juce::AudioBuffer<float> audio;
};

inline Wav readWav(const std::string& path) {
  juce::WavAudioFormat wav;
  std::unique_ptr<juce::AudioFormatReader> reader(
      wav.createReaderFor(new juce::FileInputStream(juce::File(path)), true));
  if (!reader)
    return {};
  Wav result{std::to_string(reader->numChannels) + " channels of " +
                 std::to_string(reader->bitsPerSample) +
                 (reader->usesFloatingPointData ? "-bit float at " : "-bit integers at ") +
                 std::to_string(int(reader->sampleRate)),
             juce::AudioBuffer<float>(int(reader->numChannels), int(reader->lengthInSamples))};
  reader->read(&result.audio, 0, result.audio.getNumSamples(), 0, true, true);
  return result;
}

struct ToolResult {
  int status; // the exit status, or -1 when the tool did not exit normally
  std::string out, err;
};

// Removed with everything in it when the test ends; the tool's standard output and error go to
// files beside it.
class ToolTestFolder {
public:
  explicit ToolTestFolder(const std::string& prefix) : folder(prefix) {}
  ~ToolTestFolder() {
    for (const auto& p : {root + ".out", root + ".err"})
      std::filesystem::remove(p);
  }

  std::string path(const std::string& name) const { return root + "/" + name; }
  std::set<std::string> entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root))
      names.insert(entry.path().filename().string());
    return names;
  }

  // Standard input empty, outputs in files (so neither is a terminal); arguments single-quoted.
  ToolResult runTool(const std::string& binary, const std::vector<std::string>& arguments) const {
    std::string command = "'" + binary + "'";
    for (const auto& a : arguments)
      command += " '" + a + "'";
    const int s =
        std::system((command + " </dev/null >" + root + ".out 2>" + root + ".err").c_str());
    return {WIFEXITED(s) ? WEXITSTATUS(s) : -1, readText(root + ".out"), readText(root + ".err")};
  }

  // The words of a case: "@name" is that file in the folder, "*" stands for star's words.
  std::vector<std::string> words(const std::string& text, const std::string& star) const {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string w; in >> w;)
      if (w == "*") {
        const auto more = words(star, "");
        result.insert(result.end(), more.begin(), more.end());
      } else {
        result.push_back(w[0] == '@' ? path(w.substr(1)) : w);
      }
    return result;
  }

  // Runs a case (see words) with none of the outputs there, then over outputs holding "keep":
  // each time the tool must exit with status 2, one line "TOOL: ..." on standard error and
  // nothing on standard output, and leave every output as it was.
  void expectRefused(const std::string& binary, const std::string& text, const std::string& star,
                     const std::vector<std::string>& outputs) const {
    const std::string prefix = std::filesystem::path(binary).filename().string() + ": ";
    for (bool existing : {false, true}) {
      SCOPED_TRACE(text + (existing ? ", over files" : ""));
      for (const auto& output : outputs)
        if (existing)
          std::ofstream(output) << "keep";
        else
          std::filesystem::remove(output);
      const ToolResult r = runTool(binary, words(text, star));
      EXPECT_EQ(r.status, 2);
      EXPECT_TRUE(r.out.empty()) << r.out;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
      EXPECT_TRUE(r.err.starts_with(prefix) && r.err.ends_with('\n')) << r.err;
      for (const auto& output : outputs) // the head is enough to tell, and short to print
        EXPECT_EQ(std::filesystem::exists(output) ? readText(output).substr(0, 16) : "none",
                  existing ? "keep" : "none");
    }
    for (const auto& output : outputs)
      std::filesystem::remove(output);
  }

private:
  TemporaryFolder folder;

public:
  const std::string root = folder.path.string();
};
