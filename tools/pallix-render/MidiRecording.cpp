// The two forms a generator run is written in: a standard MIDI file and the list of messages.
#include "tools/pallix-render/MidiRecording.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

namespace tools {

namespace {

bool isChannelMessage(const SentMessage& m) noexcept {
  const int status = m.bytes[0];
  return status >= 0x80 && status < 0xF0 &&
         m.length == juce::MidiMessage::getMessageLengthFromFirstByte(m.bytes[0]);
}

// Which notes are on, per channel and pitch, so the run's end can end them.
class SoundingNotes {
public:
  void follow(const juce::MidiMessage& message) {
    if (!message.isNoteOnOrOff())
      return;
    int& count = counts[message.getChannel() - 1][message.getNoteNumber()];
    if (message.isNoteOn())
      ++count;
    else if (count > 0)
      --count;
  }

  void endAll(juce::MidiMessageSequence& track, double tick) const {
    for (int channel = 0; channel < 16; ++channel)
      for (int pitch = 0; pitch < 128; ++pitch)
        for (int n = 0; n < counts[channel][pitch]; ++n)
          track.addEvent(juce::MidiMessage::noteOff(channel + 1, pitch, juce::uint8(0)), tick);
  }

private:
  int counts[16][128] = {};
};

} // namespace

std::int64_t tickOf(const hosting::HostTimeline& timeline, std::int64_t sampleTime) noexcept {
  const double frames = static_cast<double>(sampleTime - timeline.firstSampleTime());
  return std::max<std::int64_t>(
      0, std::llround(timeline.startQuarter() * kTicksPerQuarter +
                      frames * kTicksPerQuarter / timeline.samplesPerBeat()));
}

juce::MidiFile recordingAsMidiFile(const std::vector<SentMessage>& messages,
                                   const hosting::HostTimeline& timeline,
                                   std::int64_t endSampleTime) {
  // Sorted by sample time, not by tick: a strummed note stamped earlier but sent later plays
  // first, as a synthesiser hearing the output would play it.
  std::vector<std::size_t> order(messages.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return messages[a].sampleTime < messages[b].sampleTime;
  });

  juce::MidiMessageSequence track;
  const hosting::Meter meter = timeline.meter();
  track.addEvent(juce::MidiMessage::tempoMetaEvent(
                     static_cast<int>(std::lround(60'000'000.0 / timeline.tempo()))),
                 0.0);
  track.addEvent(juce::MidiMessage::timeSignatureMetaEvent(meter.numerator, meter.denominator),
                 0.0);
  SoundingNotes sounding;
  double lastTick = 0.0;
  for (const std::size_t i : order) {
    const SentMessage& m = messages[i];
    if (!isChannelMessage(m))
      continue;
    lastTick = static_cast<double>(tickOf(timeline, m.sampleTime));
    const juce::MidiMessage message(m.bytes.data(), m.length, lastTick);
    sounding.follow(message);
    track.addEvent(message);
  }
  const double endTick = std::max(lastTick, static_cast<double>(tickOf(timeline, endSampleTime)));
  sounding.endAll(track, endTick);
  track.addEvent(juce::MidiMessage::endOfTrack(), endTick);

  juce::MidiFile file;
  file.setTicksPerQuarterNote(kTicksPerQuarter);
  file.addTrack(track);
  return file;
}

bool writeEventList(const std::vector<SentMessage>& messages, juce::OutputStream& out) {
  for (const SentMessage& m : messages) {
    char line[64];
    char* end = std::to_chars(line, line + sizeof line, m.sampleTime).ptr;
    for (int b = 0; b < m.length; ++b) {
      *end++ = ' ';
      end = std::to_chars(end, line + sizeof line, int{m.bytes[b]}).ptr;
    }
    *end++ = '\n';
    if (!out.write(line, static_cast<std::size_t>(end - line)))
      return false;
  }
  return true;
}

} // namespace tools
