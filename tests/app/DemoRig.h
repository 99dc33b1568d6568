// The app's graph in the test process: a HostController on an offline output, a recording
// instrument standing in for the synthesiser, and the real generator with the bundle's phrases.
#pragma once

#include "PallixAU/unit/PallixAudioUnit.h"
#include "app/host/HostController.h"
#include "platform/audiounit/OfflineAudioOutput.h"
#include "tests/support/TestUnit.h"

#include <gtest/gtest.h>

#include <sstream>

inline void bundleAnchor() {}

// The generator with the phrases shipped beside the test binary, and no user catalogues.
inline std::shared_ptr<AUAudioUnit> makeGenerator() {
  static const auto catalogue =
      std::make_shared<const pallix::engine::CatalogIndex>(pallix::engine::CatalogIndex::load(
          foundation::Bundle::of(reinterpret_cast<const void*>(&bundleAnchor)), std::nullopt));
  auto unit = AUAudioUnit::create<pallix::unit::PallixAudioUnit>(
      pallix::unit::PallixAudioUnit::kDescription, 0, nullptr, catalogue);
  EXPECT_TRUE(unit.ok());
  return std::move(unit).value();
}

struct MIDIMessage {
  AUEventSampleTime time;
  std::uint8_t status, data1, data2;
  bool operator==(const MIDIMessage&) const = default;
};

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
      controller->pallixDidLoad(makeGenerator());
    controller->synthesiserDidLoad(synth);
    if (!generatorFirst)
      controller->pallixDidLoad(makeGenerator());
    return *this;
  }

  void render(double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * 44100.0);
    ASSERT_TRUE(output->render(frames).ok());
  }

  // The MIDI messages the synthesiser received, in order, each with its sample time.
  std::vector<MIDIMessage> midi() const {
    std::vector<MIDIMessage> messages;
    for (const ReceivedEvent& e : probe->events)
      if (e.type == AURenderEventMIDI)
        messages.push_back({e.time, e.bytes[0], e.bytes[1], e.bytes[2]});
    return messages;
  }

  app::DemoState& state() const { return controller->pallixDriver()->state(); }

  std::ostringstream out;
  std::shared_ptr<Probe> probe;
  std::shared_ptr<OfflineAudioOutput> output;
  std::shared_ptr<app::HostController> controller;
  std::shared_ptr<TestUnit> synth;
};

inline std::vector<MIDIMessage> noteOns(const std::vector<MIDIMessage>& messages) {
  std::vector<MIDIMessage> result;
  for (const MIDIMessage& m : messages)
    if ((m.status & 0xF0) == 0x90 && m.data2 > 0)
      result.push_back(m);
  return result;
}
