// demo-phrase: writes a short organ blues in E minor as a standard MIDI file, for `make run`.
#include <juce_audio_basics/juce_audio_basics.h>

#include <iostream>
#include <vector>

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr int kTicksPerBar = 4 * kTicksPerQuarter;
constexpr int kSwungEighth = kTicksPerQuarter * 2 / 3; // shuffle: the offbeat comes late
constexpr double kBeatsPerMinute = 100.0;

// A tick position: bar, beat (0-3) and whether it is the swung offbeat.
constexpr int at(int bar, int beat, bool offbeat = false) {
  return bar * kTicksPerBar + beat * kTicksPerQuarter + (offbeat ? kSwungEighth : 0);
}

struct Note {
  int start;
  int length;
  int pitch;
  int velocity;
};

void addNote(juce::MidiMessageSequence& track, int channel, const Note& n) {
  track.addEvent(juce::MidiMessage::noteOn(channel, n.pitch, static_cast<juce::uint8>(n.velocity)),
                 n.start);
  track.addEvent(juce::MidiMessage::noteOff(channel, n.pitch), n.start + n.length);
}

void addChord(juce::MidiMessageSequence& track, int start, int length, std::vector<int> pitches,
              int velocity) {
  for (const int pitch : pitches)
    addNote(track, 1, {start, length, pitch, velocity});
}

// Comping in each bar: a held chord on one, a stab on the offbeat of two, a push on three.
juce::MidiMessageSequence organ() {
  const std::vector<int> em7 = {55, 59, 62, 64}, am7 = {55, 60, 64, 69}, c7 = {55, 58, 60, 64},
                         b7 = {57, 59, 63, 66}, em9 = {55, 59, 62, 66};
  const std::vector<std::vector<int>> bars = {em7, am7, em7, em7, am7, am7};
  juce::MidiMessageSequence track;
  for (int bar = 0; bar < static_cast<int>(bars.size()); ++bar) {
    if (bar == 3) { // stop time: one stab, and the melody bends alone
      addChord(track, at(bar, 0), 200, bars[bar], 84);
      continue;
    }
    addChord(track, at(bar, 0), 700, bars[bar], 78);
    addChord(track, at(bar, 1, true), 130, bars[bar], 88);
    addChord(track, at(bar, 2, true), 560, bars[bar], 74);
  }
  addChord(track, at(6, 0), 900, em7, 78);
  addChord(track, at(6, 2), 440, c7, 80);
  addChord(track, at(6, 3), 440, b7, 84);
  addChord(track, at(7, 0), kTicksPerBar, em9, 76);
  return track;
}

// A shuffle bass walking each chord's root, fifth and seventh.
juce::MidiMessageSequence bass() {
  const std::vector<std::vector<int>> bars = {
      {40, 47, 50, 47}, {45, 52, 55, 52}, {40, 47, 50, 47}, {40},
      {45, 52, 55, 52}, {45, 52, 57, 55}, {40, 47, 48, 47}, {40}};
  juce::MidiMessageSequence track;
  for (int bar = 0; bar < static_cast<int>(bars.size()); ++bar) {
    const auto& notes = bars[bar];
    for (int beat = 0; beat < static_cast<int>(notes.size()); ++beat) {
      const int length = notes.size() == 1 ? (bar == 7 ? kTicksPerBar : 300) : 400;
      addNote(track, 2, {at(bar, beat), length, notes[beat], beat == 0 ? 96 : 84});
    }
  }
  return track;
}

// The tune, with a whole-step bend in the stop bar and a pressure swell over the A minor bars.
juce::MidiMessageSequence melody() {
  const std::vector<Note> notes = {
      {at(0, 1), 300, 79, 90},       {at(0, 1, true), 150, 81, 80},
      {at(0, 2), 460, 83, 96},       {at(0, 3), 300, 81, 84},
      {at(0, 3, true), 150, 79, 80}, {at(1, 0), 940, 76, 92},
      {at(1, 2, true), 150, 74, 78}, {at(1, 3), 460, 76, 88},
      {at(2, 0), 300, 86, 100},      {at(2, 0, true), 150, 83, 86},
      {at(2, 1), 300, 82, 94},       {at(2, 1, true), 150, 81, 84},
      {at(2, 2), 620, 79, 90},       {at(2, 3, true), 150, 76, 80},
      {at(3, 1), 900, 81, 104},      {at(3, 3, true), 150, 79, 84},
      {at(4, 0), 460, 81, 92},       {at(4, 1), 300, 84, 98},
      {at(4, 1, true), 150, 83, 86}, {at(4, 2), 940, 81, 90},
      {at(5, 0), 300, 79, 88},       {at(5, 0, true), 150, 76, 80},
      {at(5, 1), 300, 79, 90},       {at(5, 1, true), 150, 81, 84},
      {at(5, 2), 460, 82, 96},       {at(5, 3), 460, 81, 88},
      {at(6, 0), 300, 79, 88},       {at(6, 0, true), 150, 76, 80},
      {at(6, 1), 460, 74, 86},       {at(6, 2), 460, 72, 84},
      {at(6, 3), 460, 71, 88},       {at(7, 0), kTicksPerBar, 76, 92},
  };
  juce::MidiMessageSequence track;
  for (const Note& n : notes)
    addNote(track, 3, n);

  // Bend the A up to B, hold it, and let it fall back as the note ends.
  constexpr int kCentre = 8192, kSteps = 8;
  for (int i = 0; i <= kSteps; ++i) {
    track.addEvent(juce::MidiMessage::pitchWheel(3, kCentre + (8191 * i) / kSteps),
                   at(3, 1, true) + i * 20);
    track.addEvent(juce::MidiMessage::pitchWheel(3, kCentre + (8191 * (kSteps - i)) / kSteps),
                   at(3, 2, true) + i * 10);
  }
  // Channel pressure rises over bar 5 and falls over bar 6.
  for (int step = 0; step <= 16; ++step) {
    const int pressure = 100 * (step <= 8 ? step : 16 - step) / 8;
    track.addEvent(juce::MidiMessage::channelPressureChange(3, pressure),
                   at(4, 0) + step * kTicksPerBar / 8);
  }
  return track;
}

juce::MidiMessageSequence conductor() {
  juce::MidiMessageSequence track;
  track.addEvent(juce::MidiMessage::textMetaEvent(3, "Quorvane demo phrase"), 0);
  track.addEvent(juce::MidiMessage::timeSignatureMetaEvent(4, 4), 0);
  track.addEvent(juce::MidiMessage::keySignatureMetaEvent(1, true), 0);
  track.addEvent(
      juce::MidiMessage::tempoMetaEvent(static_cast<int>(60'000'000.0 / kBeatsPerMinute)), 0);
  return track;
}

void finishTrack(juce::MidiMessageSequence& track) {
  track.sort();
  track.addEvent(juce::MidiMessage::endOfTrack(), track.getEndTime());
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: demo-phrase OUTPUT.mid\n";
    return 2;
  }
  juce::MidiFile file;
  file.setTicksPerQuarterNote(kTicksPerQuarter);
  for (auto track : {conductor(), organ(), bass(), melody()}) {
    finishTrack(track);
    file.addTrack(track);
  }

  const juce::File target = juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]);
  juce::TemporaryFile temporary(target);
  bool written = false;
  {
    juce::FileOutputStream stream(temporary.getFile());
    written = stream.openedOk() && file.writeTo(stream, 1);
    stream.flush();
    written = written && stream.getStatus().wasOk();
  }
  if (!written || !temporary.overwriteTargetFileWithTemporary()) {
    std::cerr << "demo-phrase: cannot write '" << argv[1] << "'\n";
    return 1;
  }
  return 0;
}
