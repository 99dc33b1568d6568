// The generator's LV2 plug-in: the track's MIDI passes through at its frames beside the blues,
// the transport carries on in blocks without a position, and its state (the forced family)
// restores in either order with the ports and survives corrupt states.
#include "PallixAU/engine/catalogue/CatalogIndex.h"
#include "tests/plugins/lv2/Lv2Bundles.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

#include <algorithm>
#include <random>

namespace {

constexpr double kRate = 48000;
constexpr std::uint32_t kMaximum = 512;
constexpr double kTempo = 240; // quarters a minute: bars go by quickly
const std::string kStateKey = kPallixUri + "#state";

double beatAt(std::int64_t sampleTime) { return double(sampleTime) * kTempo / 60.0 / kRate; }

// Plays the generator for frames, in blocks of the lengths given in turn, with a position in
// the first block only or in every one; answers what it sent.
std::vector<Lv2MidiMessage> play(Lv2Instance& generator, std::int64_t frames,
                                 const std::vector<std::uint32_t>& blocks, bool everyBlock,
                                 std::int64_t from = 0) {
  std::vector<Lv2MidiMessage> sent;
  std::int64_t done = 0;
  for (std::size_t i = 0; done < frames; ++i) {
    const auto length =
        std::uint32_t(std::min<std::int64_t>(blocks[i % blocks.size()], frames - done));
    if (everyBlock || done == 0)
      generator.addPosition(0, beatAt(from + done), kTempo, true);
    const auto out = generator.run(length);
    sent.insert(sent.end(), out.begin(), out.end());
    done += length;
  }
  return sent;
}

std::vector<std::string> families() {
  const pallix::engine::CatalogIndex index = pallix::engine::CatalogIndex::load(
      foundation::Bundle::withResourcesFolder(PALLIX_RESOURCES), std::nullopt);
  auto unit = AUAudioUnit::create<pallix::unit::PallixAudioUnit>(
                  pallix::unit::PallixAudioUnit::kDescription, 0, nullptr,
                  std::make_shared<const pallix::engine::CatalogIndex>(index))
                  .value();
  return unit->allFamilies();
}

std::string stateOf(const std::string& family) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
         "<key>forcedFamily</key><string>" +
         family + "</string><key>version</key><integer>1</integer></dict></plist>";
}

int restoreString(Lv2Instance& generator, const std::string& text) {
  return generator.restoreProperty(kStateKey, LV2_ATOM__String, text.c_str(), text.size() + 1);
}

TEST(PallixLv2, TheTracksMidiLeavesAtItsFramesBesideTheBlues) {
  Lv2Instance generator(ownWorld(), kPallixUri, kRate, kMaximum);
  const std::int64_t chordAt = 5 * kMaximum + 100, releaseAt = 40 * kMaximum + 7;
  std::vector<Lv2MidiMessage> in{{chordAt, {0x91, 60, 90}},       {chordAt, {0x91, 64, 90}},
                                 {chordAt, {0x91, 67, 90}},       {releaseAt, {0x81, 60, 0}},
                                 {releaseAt, {0x81, 64, 0}},      {releaseAt, {0x81, 67, 0}},
                                 {releaseAt + 1, {0xB1, 64, 127}}};
  std::vector<Lv2MidiMessage> sent;
  std::size_t next = 0;
  for (std::int64_t start = 0; start < 500 * kMaximum; start += kMaximum) {
    generator.addPosition(0, beatAt(start), kTempo, true);
    for (; next < in.size() && in[next].sampleTime < start + kMaximum; ++next)
      generator.addMidi(std::uint32_t(in[next].sampleTime - start), in[next].bytes);
    const auto out = generator.run(kMaximum);
    sent.insert(sent.end(), out.begin(), out.end());
  }
  // Every message in, at its own time, in its order.
  auto at = sent.begin();
  for (const Lv2MidiMessage& message : in) {
    at = std::find(at, sent.end(), message);
    EXPECT_NE(at, sent.end()) << "the message at " << message.sampleTime << " is missing";
  }
  EXPECT_TRUE(std::is_sorted(sent.begin(), sent.end(), [](const auto& a, const auto& b) {
    return a.sampleTime < b.sampleTime;
  }));
  const auto generated = std::count_if(sent.begin(), sent.end(), [](const Lv2MidiMessage& m) {
    return (m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] > 0 && m.bytes[0] != 0x91;
  });
  EXPECT_GT(generated, 20) << "the blues plays too";
}

// At a steady tempo the notes do not depend on whether the host repeats its position, nor on
// its block lengths, beyond the maximum included.
TEST(PallixLv2, TheTransportCarriesOnInBlocksWithoutAPosition) {
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::vector<std::uint32_t> lengths(64);
  for (auto& length : lengths)
    length = std::uniform_int_distribution<std::uint32_t>(1, 2 * kMaximum)(random);
  const std::int64_t frames = std::int64_t(kRate * 24); // 24 bars
  Lv2Instance told(ownWorld(), kPallixUri, kRate, kMaximum),
      followed(ownWorld(), kPallixUri, kRate, kMaximum);
  const auto expected = play(told, frames, {kMaximum}, true);
  const auto heard = play(followed, frames, lengths, false);
  EXPECT_GT(expected.size(), 100u);
  EXPECT_EQ(heard, expected);
}

TEST(PallixLv2, StateRestoresTheSameInEitherOrderWithThePorts) {
  const auto all = families();
  ASSERT_FALSE(all.empty());
  Lv2Instance source(ownWorld(), kPallixUri, kRate, kMaximum);
  ASSERT_EQ(restoreString(source, stateOf(all.front())), LV2_STATE_SUCCESS);
  const std::string saved = source.saveState(false); // the plug-in's own state alone
  EXPECT_NE(saved.find(all.front()), std::string::npos) << saved;

  const auto setPorts = [](Lv2Instance& generator) {
    generator.setControl("embroidery", 0.9f);
    generator.setControl("mode", 1);
    generator.setControl("rootNote", 5);
  };
  Lv2Instance portsFirst(ownWorld(), kPallixUri, kRate, kMaximum),
      stateFirst(ownWorld(), kPallixUri, kRate, kMaximum),
      plain(ownWorld(), kPallixUri, kRate, kMaximum);
  setPorts(portsFirst);
  portsFirst.restoreState(saved);
  stateFirst.restoreState(saved);
  setPorts(stateFirst);
  setPorts(plain);
  const OwnPlugin& pallix = kOwnPlugins[1];
  EXPECT_EQ(controlsOf(portsFirst, pallix), controlsOf(plain, pallix)) << "restoring set a port";
  EXPECT_EQ(controlsOf(stateFirst, pallix), controlsOf(plain, pallix));
  const std::int64_t frames = std::int64_t(kRate * 12);
  const auto a = play(portsFirst, frames, {kMaximum}, true);
  EXPECT_EQ(play(stateFirst, frames, {kMaximum}, true), a);
  EXPECT_GT(a.size(), 50u);
  EXPECT_EQ(stateFirst.saveState(false), source.saveState(false));
}

// Whatever a host hands back, the plug-in survives it, and what it does not recognise leaves it
// as a new instance: the same notes, the same state saved.
TEST(PallixLv2, CorruptStatesLeaveTheDefaults) {
  const auto all = families();
  ASSERT_FALSE(all.empty());
  Lv2Instance fresh(ownWorld(), kPallixUri, kRate, kMaximum);
  const std::string defaultState = fresh.saveState();
  const std::int64_t frames = std::int64_t(kRate * 8);
  const auto expected = play(fresh, frames, {kMaximum}, true);

  std::mt19937 random(7);
  std::string noise(300, '\0');
  for (char& c : noise)
    c = char(random());
  const std::string huge((1 << 16) + 1, 'x');
  struct Case {
    std::string name, type, bytes;
    std::size_t size; // as the host claims it
  };
  const std::vector<Case> cases{
      {"noise", LV2_ATOM__String, noise, noise.size()},
      {"empty", LV2_ATOM__String, "", 0},
      {"a chunk", LV2_ATOM__Chunk, stateOf(all.front()), stateOf(all.front()).size()},
      {"too large", LV2_ATOM__String, huge, huge.size()},
      {"a claimed size of 2^31", LV2_ATOM__String, "x", std::size_t(1) << 31},
      {"an array", LV2_ATOM__String, "<plist version=\"1.0\"><array/></plist>", 0},
      {"version 99", LV2_ATOM__String,
       "<plist version=\"1.0\"><dict><key>version</key><integer>99</integer></dict></plist>", 0},
      {"no version", LV2_ATOM__String,
       "<plist version=\"1.0\"><dict><key>forcedFamily</key><string>" + all.front() +
           "</string></dict></plist>",
       0},
      {"an unknown family", LV2_ATOM__String, stateOf("no such family"), 0},
      {"a long family", LV2_ATOM__String, stateOf(std::string(5000, 'b')), 0},
      {"a negative editor", LV2_ATOM__String,
       "<plist version=\"1.0\"><dict><key>editorSize</key><dict><key>height</key><integer>-5"
       "</integer><key>width</key><integer>2147483647</integer></dict><key>version</key>"
       "<integer>1</integer></dict></plist>",
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lv2Instance generator(ownWorld(), kPallixUri, kRate, kMaximum);
    ASSERT_EQ(restoreString(generator, stateOf(all.front())), LV2_STATE_SUCCESS);
    const std::size_t size = c.size ? c.size : c.bytes.size() + 1;
    generator.restoreProperty(kStateKey, c.type, c.bytes.c_str(), size);
    EXPECT_EQ(generator.saveState(), defaultState);
    EXPECT_EQ(play(generator, frames, {kMaximum}, true), expected);
  }
}

} // namespace
