// What pallix-render sends for a run, read from its --events file, for the plug-in tests to
// compare with.
#pragma once

#include "tests/plugins/SweepChecks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

// In time order (pallix-render lists messages as sent; a host hears them by time).
inline std::vector<TimedMidi> byTime(std::vector<TimedMidi> messages) {
  std::sort(messages.begin(), messages.end(), [](const TimedMidi& a, const TimedMidi& b) {
    return std::tie(a.time, a.bytes) < std::tie(b.time, b.bytes);
  });
  return messages;
}

// Runs pallix-render (PALLIX_RENDER_PATH) for bars of 4/4 at tempo, in time order; empty when
// it fails.
inline std::vector<TimedMidi> pallixRenderEvents(double sampleRate, int blockSize, double tempo,
                                                 int bars) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("pallix-plugin-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto events = folder / "events.txt";
  const std::string command = std::string(PALLIX_RENDER_PATH) + " --sample-rate " +
                              std::to_string(int(sampleRate)) + " --block-size " +
                              std::to_string(blockSize) + " --tempo " + std::to_string(tempo) +
                              " --bars " + std::to_string(bars) + " --events " + events.string() +
                              " " + (folder / "out.mid").string();
  std::vector<TimedMidi> messages;
  if (std::system(command.c_str()) == 0) {
    std::ifstream in(events);
    std::int64_t time;
    int b0, b1, b2;
    while (in >> time >> b0 >> b1 >> b2)
      messages.push_back({time, {std::uint8_t(b0), std::uint8_t(b1), std::uint8_t(b2)}});
  }
  std::filesystem::remove_all(folder);
  return byTime(std::move(messages));
}

// Past the start's warm-up (the first beat), pallix-render and a plug-in host that plays the
// same transport start the same notes at the same times.
inline void expectLinedUp(const std::vector<TimedMidi>& plugin,
                          const std::vector<TimedMidi>& render, double samplesPerBeat,
                          std::int64_t totalFrames) {
  const auto first = static_cast<std::int64_t>(samplesPerBeat);
  std::vector<TimedMidi> ours, theirs;
  const auto noteOn = [](const TimedMidi& m) {
    return (m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] > 0;
  };
  for (const auto& m : plugin)
    if (noteOn(m) && m.time >= first && m.time < totalFrames)
      ours.push_back(m);
  for (const auto& m : render)
    if (noteOn(m) && m.time >= first)
      theirs.push_back(m);
  EXPECT_FALSE(ours.empty());
  EXPECT_EQ(byTime(ours), byTime(theirs));
}
