// Every render path under the real-time audit: both units' render blocks, the adapter's
// processBlock over each unit, our own LV2 client's run over each and the app's demo graph
// never allocate, free, lock, sleep or do
// I/O while they render with events, scheduled MIDI, automation and a transport.
#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/audiounit/RenderEventList.h"
#include "tests/support/HostRig.h"
#include "tests/support/RealtimeAudit.h"
#include "tests/support/Units.h"

#ifdef AUDIT_JUCE_PATHS
#include "app/host/HostController.h"
#include "platform/audiounit/OfflineAudioOutput.h"
#include "plugins/adapter/UnitProcessor.h"
#include "tests/support/TestUnit.h"
#endif

#ifdef AUDIT_LV2_PATHS
#include "tools/lv2-host/Lv2Host.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

template <class Run> void counted(Run run) {
  gCounting = true;
  run();
  gCounting = false;
}

// A unit with the factory presets shipped beside the test binary, as a plug-in makes it.
template <class Unit> std::shared_ptr<Unit> unitOf() {
  auto unit = AUAudioUnit::create<Unit>(Unit::kDescription);
  EXPECT_TRUE(unit.ok());
  return std::move(unit).value();
}

// A call at the rig's next sample time; answers its loudest sample.
float loudestOf(HostRig& render, AUAudioFrameCount frames, const AURenderEvent* events) {
  EXPECT_EQ(render(frames, events), noErr);
  return std::max(peak(render.left.data(), frames), peak(render.right.data(), frames));
}

// Every stage on, every voice busy (so notes steal), the 24 dB cascade switched on and off, the
// pedal and the channel-mode controllers, every call length up to the maximum.
double synthesiserUnit() {
  constexpr AUAudioFrameCount kMax = 512;
  const auto unit = unitOf<quorvane::unit::QuorvaneAudioUnit>();
  const auto& tree = *unit->parameterTree();
  for (const char* p : {"echo", "space", "drift", "motion", "resonance", "boost", "detuneSpread"})
    tree.parameterWithIdentifier(p)->setValue(0.5f);
  const auto address = [&tree](const char* p) {
    return tree.parameterWithIdentifier(p)->address();
  };
  const AUParameterAddress rolloff = address("filterRolloff"), frequency = address("frequency"),
                           shape = address("shape");
  HostRig render(*unit, kMax);
  const auto schedule = unit->scheduleMIDIEventBlock();
  RenderEventList events(16);
  float loudest = 0;
  counted([&] {
    loudestOf(render, kMax, nullptr); // the first call too
    for (AUAudioFrameCount frames = 1; frames <= kMax; ++frames) {
      const std::uint8_t note = std::uint8_t(36 + frames % 48);
      const std::uint8_t on[3] = {0x90, note, 100}, off[3] = {0x80, std::uint8_t(note - 7), 0};
      const std::uint8_t bend[3] = {0xE0, 0, std::uint8_t(frames % 128)}, touch[2] = {0xD0, 64};
      const std::uint8_t keyTouch[3] = {0xA0, note, 90};
      const std::uint8_t pedal[3] = {0xB0, 64, std::uint8_t(frames % 2 * 127)};
      const std::uint8_t mode[3] = {0xB0, std::uint8_t(120 + frames % 4), 0}; // 120 ... 123
      const AUEventSampleTime t = render.time;
      schedule(AUEventSampleTimeImmediate, 0, 3, on);
      events.clear();
      events.addMIDI(t, 0, off, 3);
      events.addMIDI(t + frames / 2, 0, bend, 3);
      events.addMIDI(t + frames / 2, 0, touch, 2);
      events.addMIDI(t + frames / 2, 0, keyTouch, 3);
      events.addMIDI(t + frames / 3, 0, pedal, 3);
      events.addMIDI(t + frames - 1, 0, mode, 3);
      events.addParameter(t, rolloff, float(frames % 2));
      events.addParameter(t, frequency, float(frames % 10) / 10.0f);
      events.addParameterRamp(t, shape, float(frames % 7) / 7.0f, 100);
      loudest = std::max(loudest, loudestOf(render, frames, events.head()));
    }
  });
  EXPECT_EQ(unit->droppedMIDIEventCount(), 0u);
  return loudest;
}

// Busy and minor, playing at a brisk tempo, so that two sweeps of call lengths cross the fills of
// bars 4 and 8; counts the messages it sends.
double generatorUnit() {
  constexpr AUAudioFrameCount kMax = 512;
  constexpr double kBeatsPerSample = 360.0 / 60.0 / 44100.0;
  const auto unit = makeGenerator(shippedCatalogues(), true);
  for (const auto& parameter : unit->parameterTree()->allParameters())
    parameter->setValue(parameter->identifier() == "mode" ? 1.0f : 0.9f);
  const AUEventSampleTime* now = nullptr;
  unit->setMusicalContextBlock([&now](double* tempo, double* numerator, long* denominator,
                                      double* beat, long* toNextBeat, double* downbeat) {
    *tempo = 360;
    *numerator = 4;
    *denominator = 4;
    *toNextBeat = 0;
    *beat = double(*now) * kBeatsPerSample;
    *downbeat = 4 * std::floor(*beat / 4);
    return true;
  });
  unit->setTransportStateBlock([](AUHostTransportStateFlags* flags, auto*, auto*, auto*) {
    *flags = AUHostTransportStateMoving;
    return true;
  });
  HostRig render(*unit, kMax);
  now = &render.time;
  const AUParameterAddress etiquette =
      unit->parameterTree()->parameterWithIdentifier("etiquette")->address();
  RenderEventList events(1);
  counted([&] {
    for (int sweep = 0; sweep < 2; ++sweep)
      for (AUAudioFrameCount frames = 1; frames <= kMax; ++frames) {
        events.clear();
        events.addParameter(render.time, etiquette, float(frames % 10) / 10.0f);
        render(frames, events.head());
      }
  });
  return double(render.sent.size());
}

#ifdef AUDIT_JUCE_PATHS

// A transport rolling at 120 quarters a minute in 4/4, from position 0.
class RollingPlayHead : public juce::AudioPlayHead {
public:
  juce::Optional<PositionInfo> getPosition() const override {
    PositionInfo info;
    info.setIsPlaying(true);
    info.setBpm(120.0);
    info.setTimeSignature(TimeSignature{4, 4});
    info.setTimeInSamples(samples);
    info.setPpqPosition(static_cast<double>(samples) / 24000.0);
    return info;
  }
  std::int64_t samples = 0;
};

// Host MIDI in, automation, the play head, blocks longer than prepared; answers the messages
// sent, or for a unit that sends none, its loudest sample.
template <class Unit> double adapted() {
  plugins::UnitProcessor processor(unitOf<Unit>(), "test");
  RollingPlayHead playHead;
  processor.setPlayHead(&playHead);
  processor.prepareToPlay(48000.0, 512);
  juce::AudioBuffer<float> storage(2, 2048);
  juce::MidiBuffer midi;
  midi.ensureSize(8192);
  auto* parameter = processor.getParameters()[0];
  double messages = 0;
  float loudest = 0;
  counted([&] {
    for (int round = 0; round < 40; ++round)
      for (const int frames : {1, 17, 512, 2048}) {
        // As a host does: its own memory, of the call's length (resizing may reallocate).
        juce::AudioBuffer<float> buffer(storage.getArrayOfWritePointers(), 2, frames);
        midi.clear();
        midi.addEvent(juce::MidiMessage::noteOn(1, 48 + round % 24, 0.8f), 0);
        midi.addEvent(juce::MidiMessage::noteOff(1, 48 + (round + 12) % 24), frames - 1);
        parameter->setValue(static_cast<float>(round % 2));
        processor.processBlock(buffer, midi);
        messages += midi.getNumEvents();
        loudest = std::max(loudest, buffer.getMagnitude(0, frames));
        playHead.samples += frames;
      }
  });
  return processor.producesMidi() ? messages : loudest;
}

// The app's graph on an offline output: observer, driver, generator, host answers and MIDI
// bridge into a recording stand-in for the synthesiser, playing and after the stop; counts the
// notes the stand-in receives.
double demoGraph() {
  constexpr AUAudioFrameCount kCycle = 1024; // two generator slices a cycle
  const auto probe = std::make_shared<Probe>();
  probe->recordCalls = false;
  const auto output =
      std::make_shared<OfflineAudioOutput>(AudioFormat::standard(44100.0, 2), kCycle, 0.0);
  std::ostringstream log;
  const auto controller = app::HostController::create(
      output, [](std::function<void()>) { ADD_FAILURE() << "nothing posts here"; }, log);
  controller->synthesiserDidLoad(makeUnit(probe));
  controller->pallixDidLoad(makeGenerator(shippedCatalogues(), true));
  std::vector<float> left(kCycle), right(kCycle);
  float* channels[2] = {left.data(), right.data()};
  const auto render = [&](int cycles) {
    counted([&] {
      for (int i = 0; i < cycles; ++i)
        EXPECT_EQ(output->render(channels, kCycle), noErr);
    });
  };
  controller->togglePlay();
  render(400); // about nine seconds: bars, fills and turnarounds
  controller->togglePlay();
  render(4);
  return double(std::count_if(probe->events.begin(), probe->events.end(), [](const auto& e) {
    return e.type == AURenderEventMIDI && (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0;
  }));
}

#endif

#ifdef AUDIT_LV2_PATHS

// Our own LV2 client in lilv: MIDI, a position now and then, control changes and bad values,
// every run length up to the announced maximum and beyond it; only the plug-in's run is counted.
// Answers the loudest sample, or for the generator the messages it sends afterwards.
double ownLv2(const std::string& bundle, const std::string& uri, bool generator) {
  constexpr std::uint32_t kMax = 512;
  Lv2World world({bundle});
  Lv2Instance instance(world, uri, 48000, kMax);
  float loudest = 0;
  for (std::uint32_t frames = 1; frames <= kMax + 700; frames += 7) {
    const auto note = std::uint8_t(40 + frames % 40);
    instance.addMidi(0, {0x90, note, 100});
    instance.addMidi(frames / 2, {0x80, std::uint8_t(note - 5), 0});
    if (frames % 5 == 0)
      instance.addPosition(frames / 3, double(frames) / 10.0, 180.0, true);
    instance.setControl(generator ? "embroidery" : "frequency",
                        frames % 3 == 0 ? std::nanf("") : float(frames % 11) / 7.0f);
    counted([&] { instance.runOnly(frames); });
    if (!generator)
      loudest = std::max({loudest, peak(instance.output(0).data(), frames),
                          peak(instance.output(1).data(), frames)});
  }
  if (!generator)
    return loudest;
  double sent = 0;
  for (int block = 0; block < 400; ++block) {
    instance.addPosition(0, double(block) * 0.032, 180.0, true);
    sent += double(instance.run(kMax).size());
  }
  return sent;
}

double ownLv2Synthesiser() { return ownLv2(OWN_QUORVANE_LV2_BUNDLE, OWN_QUORVANE_LV2_URI, false); }
double ownLv2Generator() { return ownLv2(OWN_PALLIX_LV2_BUNDLE, OWN_PALLIX_LV2_URI, true); }

#endif

// A path renders what it measures (sound or messages) beyond least, or an idle path would pass.
struct RenderPath {
  std::string name;
  double (*render)();
  double least;
};

const RenderPath kPaths[] = {
    {"SynthesiserUnit", synthesiserUnit, 0},
    {"GeneratorUnit", generatorUnit, 100},
#ifdef AUDIT_JUCE_PATHS
    {"AdapterSynthesiser", adapted<quorvane::unit::QuorvaneAudioUnit>, 0},
    {"AdapterGenerator", adapted<pallix::unit::PallixAudioUnit>, 10},
    {"AppDemoGraph", demoGraph, 20},
#endif
#ifdef AUDIT_LV2_PATHS
    {"OwnLv2Synthesiser", ownLv2Synthesiser, 0},
    {"OwnLv2Generator", ownLv2Generator, 10},
#endif
};

std::ostream& operator<<(std::ostream& out, const RenderPath& path) { return out << path.name; }

class RenderPathAudit : public ::testing::TestWithParam<RenderPath> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Paths, RenderPathAudit, ::testing::ValuesIn(kPaths),
                         [](const auto& info) { return info.param.name; });

TEST_P(RenderPathAudit, RendersWithoutACountedCall) {
  resetRealtimeCounts();
  const double made = GetParam().render();
  EXPECT_EQ(realtimeCounts(), RealtimeCounts{});
  EXPECT_GT(made, GetParam().least);
}
