// The events of a standard MIDI file on one time line of samples.
#include "tools/quorvane-render/MidiEventList.h"

#include "hosting/CommandLine.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tools {

namespace {

// name is what errors call the file.
juce::MidiFile parseMidiFile(juce::InputStream& stream, const std::string& name) {
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

juce::MidiFile readMidiFile(const std::string& path) {
  const juce::File file = juce::File::getCurrentWorkingDirectory().getChildFile(path);
  if (file.isDirectory())
    throw hosting::UsageError("cannot read " + hosting::inQuotes(path) + ": it is a folder");
  if (!file.existsAsFile())
    throw hosting::UsageError("cannot read " + hosting::inQuotes(path) + ": no such file");
  juce::FileInputStream stream(file);
  if (stream.failedToOpen())
    throw hosting::UsageError("cannot read " + hosting::inQuotes(path) + ": " +
                              stream.getStatus().getErrorMessage().toStdString());
  return parseMidiFile(stream, path);
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
  return eventsOf(readMidiFile(path), sampleRate);
}

MidiEventList midiEventsFromBytes(std::span<const std::uint8_t> bytes, double sampleRate,
                                  const std::string& name) {
  juce::MemoryInputStream stream(bytes.data(), bytes.size(), false);
  return eventsOf(parseMidiFile(stream, name), sampleRate);
}

} // namespace tools
