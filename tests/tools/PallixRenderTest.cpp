// Tests of pallix-render run as a user runs it: the MIDI file against the messages sent, block
// sizes and start samples, listings, and bad arguments. Meters, lengths and start positions are
// the render fingerprints' runs (tests/tools/render-fingerprints.txt), byte for byte.
#include "tests/support/ToolRun.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct Message {
  long long time; // a sample time in the list, a tick in the file
  std::vector<int> bytes;
  bool operator==(const Message&) const = default;
};

class PallixRenderTest : public ::testing::Test, protected ToolTestFolder {
protected:
  PallixRenderTest() : ToolTestFolder("pallix-render-test") {}

  ToolResult run(const std::vector<std::string>& arguments) const {
    return runTool(PALLIX_RENDER_PATH, arguments);
  }

  // Runs expecting success with nothing on standard error; returns the --events list, in order.
  std::vector<Message> render(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"--events", events});
    const ToolResult r = run(arguments);
    EXPECT_TRUE(r.status == 0 && r.err.empty()) << r.status << ": " << r.err;
    std::vector<Message> list;
    std::istringstream lines(readText(events));
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      Message m{};
      fields >> m.time;
      for (int b; fields >> b;)
        m.bytes.push_back(b);
      list.push_back(m);
    }
    return list;
  }

  // The only track of the output, after checking its header: 960 ticks a quarter, then 120 bpm
  // and 4/4 at tick 0.
  juce::MidiMessageSequence track() const {
    juce::MidiFile file;
    juce::FileInputStream stream{juce::File(output)};
    EXPECT_TRUE(stream.openedOk() && file.readFrom(stream, false));
    EXPECT_EQ(file.getTimeFormat(), 960);
    if (file.getNumTracks() != 1 || file.getTrack(0)->getNumEvents() < 2) {
      ADD_FAILURE() << file.getNumTracks() << " tracks";
      return {};
    }
    const auto& result = *file.getTrack(0);
    const auto& tempo = result.getEventPointer(0)->message;
    const auto& meter = result.getEventPointer(1)->message;
    int n = 0, d = 0;
    meter.getTimeSignatureInfo(n, d);
    EXPECT_TRUE(tempo.isTempoMetaEvent() && tempo.getTimeStamp() == 0);
    EXPECT_NEAR(tempo.getTempoSecondsPerQuarterNote(), 0.5, 1e-6);
    EXPECT_TRUE(meter.isTimeSignatureMetaEvent() && meter.getTimeStamp() == 0);
    EXPECT_EQ(std::pair(n, d), std::pair(4, 4));
    return result;
  }

  const std::string output = path("out.mid"), events = path("events.txt");
};

std::vector<Message> notesOf(const juce::MidiMessageSequence& track) {
  std::vector<Message> notes;
  for (const auto* holder : track)
    if (holder->message.isNoteOnOrOff()) {
      const auto* raw = holder->message.getRawData();
      notes.push_back({std::llround(holder->message.getTimeStamp()), {raw[0], raw[1], raw[2]}});
    }
  return notes;
}

bool isNoteOff(const Message& m) { return (m.bytes[0] & 0xF0) == 0x80 || m.bytes[2] == 0; }

void expectEveryNoteEnds(const std::vector<Message>& notes) {
  std::map<std::pair<int, int>, int> sounding; // by channel and pitch
  for (const Message& m : notes)
    sounding[{m.bytes[0] & 0x0F, m.bytes[1]}] += isNoteOff(m) ? -1 : 1;
  for (const auto& [note, count] : sounding)
    EXPECT_EQ(count, 0) << "channel " << note.first << ", pitch " << note.second;
}

TEST_F(PallixRenderTest, MidiFileHoldsTheNotesSentAtTheirTicks) {
  const auto sent = render({"--bars", "24", output});
  const auto file = track();
  const double endTick = file.getEndTime();
  EXPECT_EQ(endTick, 24 * 4 * 960);

  // The notes sent, by sample time (equal times in order of sending), at round(t x 960 / 22050)
  // for 120 bpm; after them only note-offs at the end, for notes still sounding.
  std::vector<Message> expected;
  for (const Message& m : sent)
    if ((m.bytes[0] & 0xE0) == 0x80)
      expected.push_back({std::llround(m.time * 960.0 / 22050.0), m.bytes});
  std::stable_sort(expected.begin(), expected.end(),
                   [](const Message& a, const Message& b) { return a.time < b.time; });
  const auto notes = notesOf(file);
  ASSERT_GT(expected.size(), 100u);
  ASSERT_GE(notes.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), notes.begin()));
  for (auto m = notes.begin() + long(expected.size()); m != notes.end(); ++m)
    EXPECT_TRUE(m->time == endTick && isNoteOff(*m));
  expectEveryNoteEnds(notes);
}

TEST_F(PallixRenderTest, ListsTheShippedFamiliesAndForcesOne) {
  const ToolResult families = run({"--list-families"});
  EXPECT_EQ(families.status, 0) << families.err;
  EXPECT_EQ(families.out, "boogie\njazz blues\nshuffle\nslow blues\n");
  const ToolResult presets = run({"--list-presets"});
  EXPECT_TRUE(presets.status == 0 && presets.out.starts_with("0\t")) << presets.out;
  const ToolResult elsewhere = run({"--resources", root, "--list-presets"}); // an empty folder
  EXPECT_TRUE(elsewhere.status == 0 && elsewhere.out.empty()) << elsewhere.out;
  render({"--family", "jazz blues", "--bars", "2", output});
}

TEST_F(PallixRenderTest, BadArgumentsGiveOneLineStatusTwoAndTouchNoFile) {
  // clang-format off
  const char* cases[] = {
      "", "* extra", "--bogus *", "--meter 4/0 *", "--meter 0/4 *", "--meter 4 *",
      "--meter 4/4/4 *", "--meter 4/3 *", "--tempo -1 *", "--bars -2 *", "--bars 1 --seconds 1 *",
      "--start-sample -1 *", "--start-quarter -1 *", "--family nope *", "--set nope=1 *",
      "--preset 99 *", "--list-families @out.mid", "--events @out.mid @out.mid",
      "--events @no/x.txt @out.mid", "@no-such-folder/out.mid"};
  // clang-format on
  for (const char* c : cases)
    expectRefused(PALLIX_RENDER_PATH, c, "--events @events.txt @out.mid", {output, events});
  EXPECT_TRUE(entries().empty());
}

// As a host's control would, the parameter keeps to its range; the tool says so.
TEST_F(PallixRenderTest, SettingsOutsideTheirRangeAreHeldToItAndSaid) {
  const ToolResult r =
      run({"--set", "rootNote=1e10", "--set", "embroidery=-1000", "--print-state"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "pallix-render: --set rootNote: 1e+10 is outside 0 ... 11; 11 is used\n"
                   "pallix-render: --set embroidery: -1000 is outside 0 ... 1; 0 is used\n");
  EXPECT_NE(r.out.find("<key>rootNote</key>\n\t\t<real>11</real>"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("<key>embroidery</key>\n\t\t<real>0</real>"), std::string::npos);
}

} // namespace
