// The app's graph in the test process: a HostController on an offline output, a recording
// instrument standing in for the synthesiser, and the real generator with the bundle's phrases.
#pragma once

#include "app/host/HostController.h"
#include "platform/audiounit/OfflineAudioOutput.h"
#include "tests/support/Heard.h"
#include "tests/support/TestUnit.h"
#include "tests/support/Units.h"

#include <gtest/gtest.h>

#include <sstream>

// The generator as the app makes it, with the phrases and presets shipped beside the binary.
inline std::shared_ptr<AUAudioUnit> demoGenerator() {
  return makeGenerator(shippedCatalogues(), true);
}

struct DemoRig {
  // cycle: the frames of each synthesiser render cycle; start: the sample time of the first.
  explicit DemoRig(AUAudioFrameCount cycle = 512, double start = 0.0)
      : probe(std::make_shared<Probe>()), output(std::make_shared<OfflineAudioOutput>(
                                              AudioFormat::standard(44100.0, 2), cycle, start)),
        controller(app::HostController::create(
            output, [](std::function<void()>) { ADD_FAILURE() << "nothing posts here"; }, out)),
        synth(makeUnit(probe)) {}

  // Both units arrive; the generator first when asked.
  DemoRig& load(bool generatorFirst = false) {
    if (generatorFirst)
      controller->pallixDidLoad(demoGenerator());
    controller->synthesiserDidLoad(synth);
    if (!generatorFirst)
      controller->pallixDidLoad(demoGenerator());
    return *this;
  }

  void render(double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * 44100.0);
    ASSERT_TRUE(output->render(frames).ok());
  }

  // The MIDI messages the synthesiser received, in order, each with its sample time.
  std::vector<TimedMidi> midi() const {
    std::vector<TimedMidi> messages;
    for (const ReceivedEvent& e : probe->events)
      if (e.type == AURenderEventMIDI)
        messages.push_back({e.time, {e.bytes[0], e.bytes[1], e.bytes[2]}});
    return messages;
  }

  app::DemoState& state() const { return controller->pallixDriver()->state(); }

  std::ostringstream out;
  std::shared_ptr<Probe> probe;
  std::shared_ptr<OfflineAudioOutput> output;
  std::shared_ptr<app::HostController> controller;
  std::shared_ptr<TestUnit> synth;
};

inline std::vector<TimedMidi> noteOns(const std::vector<TimedMidi>& messages) {
  std::vector<TimedMidi> result;
  for (const TimedMidi& m : messages)
    if (m.noteOn())
      result.push_back(m);
  return result;
}
