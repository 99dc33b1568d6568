// The two forms a generator run is written in: a standard MIDI file and a list of every
// message as it was sent.
#pragma once

#include "hosting/HostTimeline.h"
#include "tools/pallix-render/MidiCapture.h"

#include <cstdint>
#include <vector>

namespace juce {
class MidiFile;
class OutputStream;
} // namespace juce

namespace tools {

inline constexpr int kTicksPerQuarter = 960;

// The tick of a sample time, where the song's quarter at that time falls: round(start quarter x
// 960 + (t - first) x 960 / samples per beat), never before 0.
std::int64_t tickOf(const hosting::HostTimeline& timeline, std::int64_t sampleTime) noexcept;

// One track at 960 ticks a quarter: tempo and time signature at tick 0 (a denominator that is
// not a power of two is stored as the next one up), then every channel message by sample time,
// equal times in order of sending, and at endSampleTime a note-off for every note still on.
juce::MidiFile recordingAsMidiFile(const std::vector<SentMessage>& messages,
                                   const hosting::HostTimeline& timeline,
                                   std::int64_t endSampleTime);

// One line "SAMPLETIME BYTE0 BYTE1 BYTE2" (as many bytes as the message has) per message, in
// order of sending. False when the stream fails.
bool writeEventList(const std::vector<SentMessage>& messages, juce::OutputStream& out);

} // namespace tools
