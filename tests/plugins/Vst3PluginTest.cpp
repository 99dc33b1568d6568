// Both VST3 bundles of the build tree, loaded and played through JUCE's own VST3 host.
#include "tests/plugins/JuceEnvironment.h"
#include "tests/plugins/PallixEvents.h"
#include "tests/plugins/ProcessorHost.h"
#include "tests/plugins/SoundMeasure.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

namespace {

constexpr double kRate = 48000;
constexpr int kPrepared = 512;

// Prepared for blocks of kPrepared at kRate.
LoadedVst3 load(const char* bundle) {
  auto loaded = loadVst3(bundle, kRate, kPrepared);
  loaded.instance->prepareToPlay(kRate, kPrepared);
  return loaded;
}

// The unit's own parameters come first; the client adds bypass, program and MIDI controllers.
std::vector<juce::AudioProcessorParameter*> unitParameters(juce::AudioProcessor& plugin,
                                                           std::size_t count) {
  const auto& all = plugin.getParameters();
  return {all.begin(), all.begin() + std::min<int>(int(count), all.size())};
}

// The plug-in's state as a VST3 preset file holds it, and that state handed to the plug-in
// straight away, without the host's own parameter values catching up (as Ardour does).
juce::MemoryBlock presetOf(juce::AudioPluginInstance& plugin) {
  juce::MemoryBlock preset;
  struct Visitor : juce::ExtensionsVisitor {
    juce::MemoryBlock* preset;
    void visitVST3Client(const VST3Client& client) override { *preset = client.getPreset(); }
  } visitor;
  visitor.preset = &preset;
  plugin.getExtensions(visitor);
  return preset;
}

void handOver(juce::AudioPluginInstance& plugin, const juce::MemoryBlock& preset) {
  struct Visitor : juce::ExtensionsVisitor {
    const juce::MemoryBlock* preset;
    void visitVST3Client(const VST3Client& client) override {
      EXPECT_TRUE(client.setPreset(*preset));
    }
  } visitor;
  visitor.preset = &preset;
  plugin.getExtensions(visitor);
}

void runBlock(juce::AudioProcessor& plugin) {
  juce::AudioBuffer<float> buffer(2, kPrepared);
  juce::MidiBuffer midi;
  plugin.processBlock(buffer, midi);
}

} // namespace

TEST(QuorvaneVst3, LoadsWithItsFixedIdentityAndDescribesItsParameters) {
  auto synth = load(QUORVANE_VST3_BUNDLE);
  // Hosts store the identifier in projects: it must never change.
  EXPECT_EQ(synth.description.uniqueId, QUORVANE_VST3_ID);
  EXPECT_TRUE(synth.description.isInstrument);
  EXPECT_EQ(synth.description.name, "Quorvane");
  ASSERT_EQ(unitParameters(*synth.instance, kQuorvaneParameters).size(), kQuorvaneParameters);
  EXPECT_EQ(synth.instance->getParameters()[0]->getName(100), "Shape");
  // Stepped values by name, both ways; the units in the text, as the editor shows them.
  auto* filterType = synth.instance->getParameters()[15];
  EXPECT_EQ(filterType->getNumSteps(), 3);
  EXPECT_EQ(filterType->getText(0.5f, 100), "BP");
  EXPECT_EQ(filterType->getValueForText("HP"), 1.0f);
  EXPECT_EQ(synth.instance->getParameters()[16]->getText(1.0f, 100), "24 dB");
  auto* bendRange = synth.instance->getParameters()[21];
  EXPECT_EQ(bendRange->getName(100), "Bend Range");
  EXPECT_EQ(bendRange->getNumSteps(), 24);
  EXPECT_EQ(bendRange->getText(bendRange->getDefaultValue(), 100), juce::CharPointer_UTF8("\xc2\xb1"
                                                                                          "2 st"));
  EXPECT_EQ(bendRange->getValueForText("12"), 11.0f / 23.0f);
  EXPECT_EQ(synth.instance->getParameters()[3]->getLabel(), "");
  // Times and rates travel logarithmically: halfway is the geometric mean of the ends.
  auto* attack = synth.instance->getParameters()[3];
  EXPECT_EQ(attack->getText(0.5f, 100), "141 ms");                                // 1 ms ... 20 s
  EXPECT_EQ(synth.instance->getParameters()[7]->getText(0.5f, 100), "1.41 Hz");   // 0.1 ... 20 Hz
  EXPECT_EQ(synth.instance->getParameters()[0]->getText(0.5f, 100), "0.50");      // Shape: linear
  EXPECT_EQ(synth.instance->getParameters()[11]->getText(1.0f, 100), "20.0 kHz"); // the cutoff
  // Typed as a musician types it; unreadable text leaves the value.
  EXPECT_EQ(attack->getText(attack->getValueForText("0.25 s"), 100), "250 ms");
  attack->setValue(0.3f);
  EXPECT_EQ(attack->getValueForText("soon"), 0.3f);
  // The programs are the factory presets (the sweeps hear them).
  ASSERT_EQ(synth.instance->getNumPrograms(), 12);
  EXPECT_EQ(synth.instance->getProgramName(0), "Blues Organ");
  synth.instance->setCurrentProgram(8);
  EXPECT_EQ(synth.instance->getCurrentProgram(), 8);
}

// The host relays a program choice and the values it announced a block later, after a state it
// hands over in between: the state's values must stay, a choice after the state must win.
TEST(Vst3Plugins, ARestoredStateWinsOverAProgramChosenBeforeItNotAfter) {
  for (const auto& [bundle, count] :
       {std::pair{QUORVANE_VST3_BUNDLE, int(kQuorvaneParameters)}, {PALLIX_VST3_BUNDLE, 8}}) {
    SCOPED_TRACE(bundle);
    auto tuned = load(bundle);
    for (auto* parameter : unitParameters(*tuned.instance, std::size_t(count)))
      parameter->setValue(0.25f);
    runBlock(*tuned.instance);
    const auto saved = presetOf(*tuned.instance);

    auto before = load(bundle), after = load(bundle), programOnly = load(bundle);
    before.instance->setCurrentProgram(3);
    handOver(*before.instance, saved);
    runBlock(*before.instance);
    EXPECT_EQ(presetOf(*before.instance), saved);

    handOver(*after.instance, saved);
    after.instance->setCurrentProgram(3);
    runBlock(*after.instance);
    programOnly.instance->setCurrentProgram(3);
    runBlock(*programOnly.instance);
    EXPECT_EQ(presetOf(*after.instance), presetOf(*programOnly.instance));
  }
}

// Whatever a host hands over as a state, the plug-in stays up, refuses what is not its state and
// plays on. Through the bundle as a host loads it; any bytes through the adapter's state entry
// are the plugin-state fuzz target's.
TEST(Vst3Plugins, AnyStateAHostHandsOverIsSurvived) {
  for (const char* bundle : {QUORVANE_VST3_BUNDLE, PALLIX_VST3_BUNDLE}) {
    SCOPED_TRACE(bundle);
    juce::MemoryBlock own;
    load(bundle).instance->getStateInformation(own);
    for (const juce::MemoryBlock& state : {juce::MemoryBlock(), juce::MemoryBlock("-5.AAAA", 7),
                                           juce::MemoryBlock("2147483647.AAAAAAAA", 19),
                                           juce::MemoryBlock(own.getData(), own.getSize() / 2)}) {
      auto plugin = load(bundle);
      std::vector<float> fresh, restored;
      for (auto* parameter : plugin.instance->getParameters())
        fresh.push_back(parameter->getValue());
      plugin.instance->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
      for (auto* parameter : plugin.instance->getParameters())
        restored.push_back(parameter->getValue());
      EXPECT_EQ(restored, fresh) << state.getSize();
      juce::AudioBuffer<float> buffer(2, kPrepared);
      juce::MidiBuffer midi;
      midi.addEvent(juce::MidiMessage::noteOn(1, 60, 0.8f), 0);
      plugin.instance->processBlock(buffer, midi);
      EXPECT_LE(buffer.getMagnitude(0, kPrepared), 1.0f) << state.getSize();
    }
  }
}

TEST(PallixVst3, LoadsAsAMidiEffectWithItsFixedIdentity) {
  auto generator = load(PALLIX_VST3_BUNDLE);
  EXPECT_FALSE(generator.description.isInstrument);
  EXPECT_EQ(generator.description.category, "Fx"); // an effect, not a source of sound
  EXPECT_TRUE(generator.instance->acceptsMidi());  // the track's MIDI, passed on
  EXPECT_EQ(generator.description.uniqueId, PALLIX_VST3_ID);
  auto* rootNote = generator.instance->getParameters()[6];
  EXPECT_EQ(rootNote->getNumSteps(), 12);
  EXPECT_EQ(rootNote->getText(7.0f / 11, 100), "G");
}

// A chord from the track leaves at its own frames among the blues: the output is what the
// generator plays without it (pallix-render's blues), the chord merged in by time and first where
// both fall on one frame, in blocks that divide a beat and blocks that do not.
TEST(PallixVst3, PassesTheTracksMidiOnAtItsFramesAmongTheBlues) {
  for (const int block : {512, 100}) {
    SCOPED_TRACE(block);
    const auto play = [block](const std::vector<TimedMidi>& in) {
      ProcessorHost host(loadVst3(PALLIX_VST3_BUNDLE, kRate, block).instance, kPallixParameters,
                         kRate, block);
      host.playing = true;
      host.runFor(2.0, block, in);
      return host.received;
    };
    const std::vector<TimedMidi> alone = play({});
    // Alone, it plays what pallix-render plays for the same transport: a bar at 120.
    expectLinedUp(alone, pallixRenderEvents(kRate, block, 120, 1), kRate / 2, 2 * kRate);
    // The chord ends on a frame where the blues sends a message too.
    const auto later =
        std::find_if(alone.begin(), alone.end(), [](const TimedMidi& m) { return m.time > 20000; });
    ASSERT_NE(later, alone.end());
    const std::int64_t on = 3001, off = later->time;
    const std::vector<TimedMidi> chord{
        {on, {0x91, 60, 90}},  {on, {0x91, 64, 90}},  {on, {0x91, 67, 90}},
        {off, {0x81, 60, 64}}, {off, {0x81, 64, 64}}, {off, {0x81, 67, 64}},
    };
    std::vector<TimedMidi> expected;
    std::merge(chord.begin(), chord.end(), alone.begin(), alone.end(), std::back_inserter(expected),
               [](const TimedMidi& a, const TimedMidi& b) { return a.time < b.time; });
    EXPECT_EQ(play(chord), expected);
  }
}

namespace {

// The pitch of the left channel of what was recorded in blocks of kPrepared: rising zero
// crossings per second.
double pitchOf(const std::vector<float>& recorded, double rate) {
  std::vector<float> left;
  for (std::size_t block = 0; block + kPrepared <= recorded.size(); block += 2 * kPrepared)
    left.insert(left.end(), recorded.begin() + std::ptrdiff_t(block),
                recorded.begin() + std::ptrdiff_t(block + kPrepared));
  int rising = 0;
  for (std::size_t i = 1; i < left.size(); ++i)
    rising += left[i - 1] < 0 && left[i] >= 0;
  return rising * rate / double(left.size());
}

// Four unison sines on one pitch at full sustain, nothing after them.
void unisonSines(SweepHost& host) {
  for (const char* name : {"Shape", "Detune", "Row Spread", "Motion", "Drift", "Echo", "Space",
                           "Spacetime", "Resonance", "Boost", "Drive", "Attack"})
    host.setParameter(name, 0.0f);
  host.setParameter("Sustain", 1.0f);
  host.setParameter("Frequency", 1.0f);
}

// What JUCE's VST3 host keeps of a plug-in's state: the component's state (here the unit's
// property list, then JUCE's own data) as base64 in an XML document.
std::string componentState(const std::string& hostState) {
  const auto xml = juce::AudioProcessor::getXmlFromBinary(hostState.data(), int(hostState.size()));
  juce::MemoryBlock component;
  if (xml && xml->getChildByName("IComponent"))
    component.fromBase64Encoding(xml->getChildByName("IComponent")->getAllSubText());
  return {static_cast<const char*>(component.getData()), component.getSize()};
}

std::string withComponentState(const std::string& hostState, const std::string& component) {
  auto xml = juce::AudioProcessor::getXmlFromBinary(hostState.data(), int(hostState.size()));
  auto* child = xml ? xml->getChildByName("IComponent") : nullptr;
  if (!child)
    return {};
  child->deleteAllTextElements();
  child->addTextElement(juce::MemoryBlock(component.data(), component.size()).toBase64Encoding());
  juce::MemoryBlock binary;
  juce::AudioProcessor::copyXmlToBinary(*xml, binary);
  return {static_cast<const char*>(binary.getData()), binary.getSize()};
}

} // namespace

// A tuning in the state a host keeps (as a session or a user preset holds it) is played, and
// kept in the state the plug-in gives back.
TEST(QuorvaneVst3, PlaysInTheTuningItsStateHoldsAndKeepsIt) {
  const auto play = [](const std::string& tuning, std::string* kept) {
    ProcessorHost host(loadVst3(QUORVANE_VST3_BUNDLE, kRate, kPrepared).instance,
                       kQuorvaneParameters, kRate, kPrepared);
    const std::string state = host.saveState();
    std::string component = componentState(state);
    const auto dict = component.find("<dict>");
    EXPECT_NE(dict, std::string::npos);
    component.insert(dict + 6, tuning);
    host.restoreState(withComponentState(state, component));
    unisonSines(host);
    const std::vector<TimedMidi> note{{0, {0x90, 69, 100}}};
    host.runFor(0.1, kPrepared, note);
    host.recording = true;
    host.runFor(1.0, kPrepared, note);
    if (kept)
      *kept = componentState(host.saveState());
    return pitchOf(host.recorded, kRate);
  };
  const std::string map = "! 432.kbm\n12\n0\n127\n60\n69\n432.0\n12\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n"
                          "10\n11\n";
  const std::string scale = "! 12.scl\ntwelve\n 12\n 100.\n 200.\n 300.\n 400.\n 500.\n 600.\n "
                            "700.\n 800.\n 900.\n 1000.\n 1100.\n 2/1\n";
  const std::string tuning = "<key>tuningKeyboardMap</key><string>" + map +
                             "</string><key>tuningScale</key><string>" + scale + "</string>";
  std::string kept;
  EXPECT_NEAR(play("", nullptr), 440.0, 1.5);
  EXPECT_NEAR(play(tuning, &kept), 432.0, 1.5);
  EXPECT_NE(kept.find(map), std::string::npos);
  EXPECT_NE(kept.find("<key>tuningScale</key>"), std::string::npos);
}

// The mod wheel, expression and the bend range through the plug-in as a VST3 host plays it: a
// full bend up with the range at 12 sounds an octave up; expression at 64 halves the level; the
// wheel at the top moves the sound as full Motion does.
TEST(QuorvaneVst3, HearsTheModWheelExpressionAndTheBendRange) {
  struct Heard {
    double pitch, rms, brightness;
  };
  const auto play = [](std::vector<TimedMidi> midi, float range, float motion) {
    ProcessorHost host(loadVst3(QUORVANE_VST3_BUNDLE, kRate, kPrepared).instance,
                       kQuorvaneParameters, kRate, kPrepared);
    unisonSines(host);
    host.setParameter("Motion", motion);
    host.setParameter("Bend Range", (range - 1.0f) / 23.0f);
    midi.insert(midi.begin(), {0, {0x90, 57, 100}});
    host.runFor(0.2, kPrepared, midi);
    host.recording = true;
    host.runFor(1.0, kPrepared, midi);
    std::vector<float> left;
    for (std::size_t b = 0; b + kPrepared <= host.recorded.size(); b += 2 * kPrepared)
      left.insert(left.end(), host.recorded.begin() + std::ptrdiff_t(b),
                  host.recorded.begin() + std::ptrdiff_t(b + kPrepared));
    const SoundMeasure measure = SoundMeasure::of(left);
    return Heard{pitchOf(host.recorded, kRate), measure.rms, measure.brightness};
  };
  const Heard alone = play({}, 2, 0);
  EXPECT_NEAR(alone.pitch, 220.0, 1.0);
  const TimedMidi fullUp{100, {0xE0, 0x7F, 0x7F}};
  EXPECT_NEAR(play({fullUp}, 12, 0).pitch, 440.0 * std::exp2(-12.0 / 12 / 8192), 1.5);
  EXPECT_NEAR(play({fullUp}, 2, 0).pitch, 220.0 * std::exp2(2.0 / 12), 1.0);
  EXPECT_NEAR(play({{100, {0xB0, 11, 64}}}, 2, 0).rms / alone.rms, 64.0 / 127.0, 0.01);
  const Heard wheel = play({{100, {0xB0, 1, 127}}}, 2, 0), motion = play({}, 2, 1);
  EXPECT_GT(wheel.brightness, 1.5 * alone.brightness);
  EXPECT_NEAR(wheel.brightness, motion.brightness, 0.1 * motion.brightness);
}
