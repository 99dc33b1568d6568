// The command line of pallix-render: the host's tempo, meter and length, what reaches the
// generator, and where its notes go.
#pragma once

#include "hosting/CommandLine.h"

#include "hosting/HostTimeline.h"
#include "tools/common/UnitOptions.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tools {

struct GeneratorOptions : UnitOptions {
  // A MIDI file's tempo event holds 3.58 bpm and up, and its ticks stay in range up to here.
  static constexpr double kMinTempo = 4.0;
  static constexpr double kMaxTempo = 1000.0;
  // The time-signature event of a MIDI file holds the numerator in one byte.
  static constexpr int kMaxNumerator = 255;
  static constexpr int kMaxDenominator = 256;
  static constexpr std::int64_t kMaxStartSample = std::int64_t{1} << 52; // exact as a double
  // Keeps the MIDI file's first gap within the 28 bits its delta times hold.
  static constexpr double kMaxStartQuarter = 100000.0;
  static constexpr double kDefaultBars = 24.0;

  double tempo = 120.0; // quarter notes per minute
  hosting::Meter meter;
  std::optional<double> bars; // the length when --seconds is not given
  std::int64_t startSample = 0;
  double startQuarter = 0.0; // the host's beat position at the first render call
  std::optional<std::string> family;
  std::optional<std::string> events; // the file of every message sent
  std::string output;
  bool listFamilies = false;
  // Usage or version asked for instead of the work.
  hosting::CommandLineRequest request = hosting::CommandLineRequest::run;
};

// Throws UsageError naming the option and what is wrong with it.
GeneratorOptions parseGeneratorOptions(int argc, const char* const* argv);

// round(S x HZ) for --seconds S, otherwise round(K x Q x HZ x 60 / tempo) for K bars of Q
// quarter notes. Throws UsageError when that is longer than kMaxSeconds.
std::int64_t generatorFrameCount(const GeneratorOptions& options);

std::string generatorUsage();

} // namespace tools
