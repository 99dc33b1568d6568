// Sessions saved with the JUCE build, restored into our own bundles: the JUCE client's state
// sounds as the values it holds do through the ports, and any text that client cannot have
// written leaves the defaults.
#include "tests/plugins/lv2/JuceStateFixtures.h"
#include "tests/plugins/lv2/Lv2Bundles.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <random>
#include <sstream>

namespace {

constexpr double kRate = 48000;
constexpr std::uint32_t kMaximum = 512;

// The synthesiser's randomness and history, off through the ports wherever two of its
// instances are compared.
const std::vector<std::string> kQuiet{"drift", "space", "motion", "spacetime", "echo"};

std::string juceKey(const std::string& uri) { return uri + ":StateString"; }

std::string fixtureTurtle(const JuceStateFixture& fixture) {
  std::ifstream in(std::string(LV2_STATES) + "/" + fixture.file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The JUCE client's text in a saved state.
std::string stateStringOf(const std::string& turtle) {
  const std::string before = ":StateString> \"";
  const auto start = turtle.find(before);
  if (start == std::string::npos)
    return {};
  const auto end = turtle.find('"', start + before.size());
  return turtle.substr(start + before.size(), end - start - before.size());
}

// MemoryBlock::toBase64Encoding, as JUCE writes it: the count, a dot, six bits a character
// taken from the lowest bit of the first byte on.
std::string juceBase64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+";
  std::string text = std::to_string(bytes.size()) + ".";
  for (std::size_t i = 0; i < (bytes.size() * 8 + 5) / 6; ++i) {
    int six = 0;
    for (std::size_t bit = 0; bit < 6; ++bit) {
      const std::size_t at = i * 6 + bit;
      if (at / 8 < bytes.size() && (static_cast<unsigned char>(bytes[at / 8]) >> (at % 8) & 1))
        six |= 1 << bit;
    }
    text += kAlphabet[six];
  }
  return text;
}

const OwnPlugin& ownPlugin(const std::string& uri) {
  return uri == kQuorvaneUri ? kOwnPlugins[0] : kOwnPlugins[1];
}

// A new instance of our bundle; the synthesiser's quiet, through its ports.
std::unique_ptr<Lv2Instance> instance(const std::string& uri) {
  auto plugin = std::make_unique<Lv2Instance>(ownWorld(), uri, kRate, kMaximum);
  if (uri == kQuorvaneUri)
    for (const std::string& identifier : kQuiet)
      plugin->setControl(identifier, 0);
  return plugin;
}

struct Rendering {
  std::vector<float> audio;
  std::vector<Lv2MidiMessage> midi;
  bool operator==(const Rendering&) const = default;
};

// Two seconds: the synthesiser plays a chord and lets it go, the generator plays the blues.
Rendering render(Lv2Instance& plugin, const std::string& uri) {
  Rendering heard;
  for (std::uint32_t block = 0; block < 2 * kRate / kMaximum; ++block) {
    const double beat = block * double(kMaximum) * 2 / kRate; // 120 quarters a minute
    plugin.addPosition(0, beat, 120, true);
    if (uri == kQuorvaneUri && (block == 1 || block == 60))
      for (const std::uint8_t key : {48, 55, 64})
        plugin.addMidi(17, {std::uint8_t(block == 1 ? 0x90 : 0x80), key, 100});
    const auto sent = plugin.run(kMaximum);
    heard.midi.insert(heard.midi.end(), sent.begin(), sent.end());
    if (uri == kQuorvaneUri)
      for (const int channel : {0, 1}) {
        const auto samples = plugin.output(channel);
        heard.audio.insert(heard.audio.end(), samples.begin(), samples.end());
      }
  }
  return heard;
}

Rendering defaultRendering(const std::string& uri) { return render(*instance(uri), uri); }

int restoreJuceText(Lv2Instance& plugin, const std::string& uri, const std::string& text,
                    const std::string& type = LV2_ATOM__String, std::size_t size = 0) {
  return plugin.restoreProperty(juceKey(uri), type, text.c_str(), size ? size : text.size() + 1);
}

class Lv2JuceState : public ::testing::TestWithParam<JuceStateFixture> {};

INSTANTIATE_TEST_SUITE_P(Fixtures, Lv2JuceState, ::testing::ValuesIn(kJuceStateFixtures),
                         [](const auto& info) {
                           return std::string(info.param.pluginUri) == kQuorvaneUri ? "Quorvane"
                                                                                    : "Pallix";
                         });

// The session's values sound though the host's ports stay at their defaults, whichever comes
// first; a port the host then moves takes over for its parameter alone; and the editor's size
// is kept for our own state.
TEST_P(Lv2JuceState, SoundsAsItsValuesDoThroughThePorts) {
  const JuceStateFixture& fixture = GetParam();
  const std::string uri = fixture.pluginUri;
  const std::string turtle = fixtureTurtle(fixture);
  ASSERT_FALSE(stateStringOf(turtle).empty()) << fixture.file;
  const auto given = instance(uri);
  for (const auto& [identifier, value] : fixture.values)
    ASSERT_TRUE(given->setControl(identifier, value)) << identifier;
  const Rendering expected = render(*given, uri);
  EXPECT_NE(expected, defaultRendering(uri)) << "the values are heard";

  const auto restored = instance(uri);
  restored->restoreState(turtle);
  EXPECT_EQ(render(*restored, uri), expected);
  EXPECT_EQ(controlsOf(*restored, ownPlugin(uri)), controlsOf(*instance(uri), ownPlugin(uri)))
      << "restoring set a port";
  const std::string saved = restored->saveState();
  EXPECT_NE(saved.find("<key>editorSize</key>"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("StateString"), std::string::npos) << "saved as our own state";
  // Saved again with the ports left alone, the session reopens with its sound.
  const auto reopened = instance(uri);
  reopened->restoreState(saved);
  EXPECT_EQ(render(*reopened, uri), expected);

  // A port moved after a block: its value sounds, the state's others stay.
  const auto [movedIdentifier, moved] =
      uri == kQuorvaneUri ? std::pair{"filterType", 1.0f} : std::pair{"rootNote", 2.0f};
  const auto late = instance(uri), movedGiven = instance(uri);
  late->restoreState(turtle);
  for (const auto& [identifier, value] : fixture.values)
    movedGiven->setControl(identifier, value);
  for (const auto& plugin : {late.get(), movedGiven.get()}) {
    plugin->run(kMaximum);
    plugin->setControl(movedIdentifier, moved);
  }
  const Rendering movedExpected = render(*movedGiven, uri);
  EXPECT_NE(movedExpected, expected) << "the move is heard";
  EXPECT_EQ(render(*late, uri), movedExpected);

  // Any other state afterwards hands every parameter back to its port.
  const auto replaced = instance(uri);
  replaced->run(kMaximum);
  replaced->restoreState(turtle);
  replaced->run(kMaximum);
  replaced->restoreState(instance(uri)->saveState());
  const auto plain = instance(uri);
  plain->run(kMaximum);
  plain->run(kMaximum);
  EXPECT_EQ(render(*replaced, uri), render(*plain, uri));
}

// Refused, each leaving the plug-in as a new instance: the same sound, the same state saved.
TEST_P(Lv2JuceState, TextsTheJuceClientCannotHaveWrittenLeaveTheDefaults) {
  const JuceStateFixture& fixture = GetParam();
  const std::string uri = fixture.pluginUri;
  const std::string text = stateStringOf(fixtureTurtle(fixture));
  ASSERT_FALSE(text.empty());
  const std::string other =
      stateStringOf(fixtureTurtle(kJuceStateFixtures[uri == kQuorvaneUri ? 1 : 0]));
  const Rendering expected = defaultRendering(uri);
  const std::string defaultState = instance(uri)->saveState();

  std::string flipped = text, outside = text, lenient = text;
  flipped[text.size() / 2] = '!';
  outside[text.size() - 1] = '\xC3';
  // JUCE itself reads '/' as '.', a zero: the bytes are the same, the text is not its own.
  lenient[text.find('.', text.find('.') + 1)] = '/';
  const std::size_t count = std::stoul(text.substr(0, text.find('.')));
  std::mt19937 random(3);
  std::string noise(600, '\0');
  for (char& c : noise)
    c = char(random());
  const std::string overBound =
      juceBase64(std::string((1 << 20) + 1, ' ')); // valid, beyond the bound
  struct Case {
    std::string name, text, type = LV2_ATOM__String;
    std::size_t size = 0; // as the host claims it: the text's by default
  };
  const std::vector<Case> cases{
      {"a negative size", "-5.AAAA"},
      {"a size past the text", "2147483647.AAAAAAAA"},
      {"a size past 64 bits", "99999999999999999999999." + text.substr(text.find('.') + 1)},
      {"a signed size", "+" + text},
      {"a space before the size", " " + text},
      {"no dot", text.substr(0, text.find('.'))},
      {"nothing", ""},
      {"a dot alone", "."},
      {"the count one more", std::to_string(count + 1) + text.substr(text.find('.'))},
      {"a character outside the alphabet", flipped},
      {"a byte outside ASCII", outside},
      {"a character JUCE reads leniently", lenient},
      {"a character too many", text + "."}, // zero bits, which JUCE would read past
      {"cut short by one", text.substr(0, text.size() - 1)},
      {"cut in half", text.substr(0, text.size() / 2)},
      {"noise", noise},
      {"valid, of bytes that are no property list", juceBase64("not a property list at all")},
      {"valid, of a property list that is no dictionary",
       juceBase64("<plist version=\"1.0\"><array/></plist>")},
      {"valid, of the other unit's state", other},
      {"valid, beyond the bound", overBound},
      {"a chunk", text, LV2_ATOM__Chunk},
      {"a claimed size of 2^31", "x", LV2_ATOM__String, std::size_t(1) << 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto plugin = instance(uri);
    EXPECT_NE(restoreJuceText(*plugin, uri, c.text, c.type, c.size), LV2_STATE_SUCCESS);
    EXPECT_EQ(plugin->saveState(), defaultState);
    EXPECT_EQ(render(*plugin, uri), expected);
  }
  // The test's own encoding is JUCE's: of the state's own bytes, it is taken.
  const auto plugin = instance(uri);
  EXPECT_EQ(restoreJuceText(*plugin, uri, text), LV2_STATE_SUCCESS);
}

} // namespace
