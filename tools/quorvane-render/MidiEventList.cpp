// The events of a standard MIDI file on one time line of samples.
#include "tools/quorvane-render/MidiEventList.h"

#include "hosting/CommandLine.h"
#include "platform/foundation/Files.h"
#include "tools/quorvane-render/MidiFileCheck.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tools {

namespace {

// Far beyond any performance: a whole opera is a few megabytes.
constexpr std::size_t kMaxMidiFileBytes = 64 * 1024 * 1024;

// name is what errors call the file.
juce::MidiFile parseMidiFile(std::span<const std::uint8_t> bytes, const std::string& name) {
  const std::vector<std::uint8_t> checked = checkedMidiFile(bytes, name);
  juce::MemoryInputStream stream(checked.data(), checked.size(), false);
  juce::MidiFile midi;
  // No invented note-offs: the file plays exactly as written.
  if (!midi.readFrom(stream, false))
    throw hosting::UsageError(hosting::inQuotes(name) + " is not a standard MIDI file");

  // Division 0 would leave every time in ticks; SMPTE time without subframes divides by zero.
  const int division = midi.getTimeFormat();
  const bool validDivision = division > 0 || (division < 0 && (division & 0xff) > 0);
  if (!validDivision)
    throw hosting::UsageError(hosting::inQuotes(name) + " has an invalid time division (" +
                              std::to_string(division) + ")");
  midi.convertTimestampTicksToSeconds();
  return midi;
}

MidiEventList eventsOf(const juce::MidiFile& midi, double sampleRate) {
  MidiEventList list;
  for (int t = 0; t < midi.getNumTracks(); ++t) {
    const juce::MidiMessageSequence& track = *midi.getTrack(t);
    for (const juce::MidiMessageSequence::MidiEventHolder* holder : track) {
      const juce::MidiMessage& message = holder->message;
      if (message.isMetaEvent())
        continue;
      const double seconds = message.getTimeStamp();
      const std::uint8_t* raw = message.getRawData();
      list.events.push_back({sampleTimeOf(seconds, sampleRate),
                             std::vector<std::uint8_t>(raw, raw + message.getRawDataSize())});
      list.lastEventSeconds = std::max(list.lastEventSeconds, seconds);
    }
  }
  // Tracks are each in time order already; merging them keeps equal times in track order.
  std::stable_sort(
      list.events.begin(), list.events.end(),
      [](const TimedMidiEvent& a, const TimedMidiEvent& b) { return a.sampleTime < b.sampleTime; });
  return list;
}

} // namespace

std::int64_t sampleTimeOf(double seconds, double sampleRate) noexcept {
  // Ticks-to-seconds arithmetic can land a hair below an exact sample; that is still that sample.
  constexpr double kTolerance = 1e-6;
  const double samples = std::floor(seconds * sampleRate + kTolerance);
  if (!(samples < 9.0e18))
    return std::numeric_limits<std::int64_t>::max();
  return std::max<std::int64_t>(0, static_cast<std::int64_t>(samples));
}

MidiEventList loadMidiEvents(const std::string& path, double sampleRate) {
  // Whole and up front: a FIFO or device is refused rather than waited on.
  std::string why;
  const auto bytes = foundation::readWholeFile(path, kMaxMidiFileBytes, &why);
  if (!bytes)
    throw hosting::UsageError("cannot read " + hosting::inQuotes(path) + ": " + why);
  return midiEventsFromBytes(*bytes, sampleRate, path);
}

MidiEventList midiEventsFromBytes(std::span<const std::uint8_t> bytes, double sampleRate,
                                  const std::string& name) {
  return eventsOf(parseMidiFile(bytes, name), sampleRate);
}

} // namespace tools
