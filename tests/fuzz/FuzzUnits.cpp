// The units as the fuzz targets host them, and the checks of what they put out.
#include "tests/fuzz/FuzzUnits.h"

#include <cmath>
#include <string>
#include <utility>

namespace fuzz {

namespace {

// Appended piece by piece: GCC 12 misreads `"literal" + std::string` as an overlapping copy.
std::string bytesOf(int length, const std::uint8_t* bytes) {
  std::string text;
  for (int i = 0; i < length && i < 3; ++i)
    text.append(" ").append(std::to_string(bytes[i]));
  return text;
}

} // namespace

std::shared_ptr<quorvane::unit::QuorvaneAudioUnit> makeSeededSynth() {
  auto unit = makeSynth();
  unit->seedRandomSources(1, 2, 3);
  return unit;
}

void MidiLedger::expectCall(std::int64_t firstSampleTime, std::int64_t frames) noexcept {
  first_ = firstSampleTime;
  end_ = firstSampleTime + frames;
  timesKnown_ = firstSampleTime >= 0;
}

AUMIDIOutputEventBlock MidiLedger::outputBlock() {
  return [this](AUEventSampleTime time, std::uint8_t, int length, const std::uint8_t* bytes) {
    receive(time, length, bytes);
    return noErr;
  };
}

void MidiLedger::receive(AUEventSampleTime time, int length, const std::uint8_t* bytes) noexcept {
  if (!fault_.empty())
    return;
  if (length < 1 || length > 3 || !bytes)
    return fail("a message of a length other than 1 to 3", time, length, bytes);
  if ((bytes[0] & 0x80) == 0)
    return fail("a status byte without its high bit", time, length, bytes);
  for (int i = 1; i < length; ++i)
    if (bytes[i] >= 0x80)
      return fail("a data byte of 128 or more", time, length, bytes);
  if (timesKnown_ && (time < first_ || time >= end_))
    return fail("a message outside its render call", time, length, bytes);
  const int kind = bytes[0] & 0xF0;
  if ((kind == 0x80 || kind == 0x90) && length != 3)
    return fail("a note message without its velocity", time, length, bytes);
  int& count = open_[bytes[0] & 0x0F][length > 1 ? bytes[1] : 0];
  if (kind == 0x90) {
    if (bytes[2] == 0)
      return fail("a note-on of velocity 0", time, length, bytes);
    ++count;
  } else if (kind == 0x80 && count > 0) {
    --count;
  }
}

Verdict MidiLedger::openNotes() const {
  for (std::size_t channel = 0; channel < open_.size(); ++channel)
    for (std::size_t note = 0; note < open_[channel].size(); ++note)
      if (open_[channel][note] > 0)
        return "note " + std::to_string(note) + " on channel " + std::to_string(channel) +
               " never ended";
  return {};
}

void MidiLedger::fail(const char* what, AUEventSampleTime time, int length,
                      const std::uint8_t* bytes) {
  fault_ = what;
  fault_.append(": at ").append(std::to_string(time));
  fault_.append(" (call ").append(std::to_string(first_)).append(" ... ");
  fault_.append(std::to_string(end_)).append("), bytes");
  fault_.append(bytes ? bytesOf(length, bytes) : std::string(" none"));
}

} // namespace fuzz
