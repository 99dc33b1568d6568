// The synthesiser unit used from several threads at once; run under ThreadSanitizer too.
#include "UnitTestSupport.h"

#include <atomic>
#include <chrono>
#include <thread>

TEST(Threads, ParametersChangeThroughTheTreeWhileRendering) {
  PresetFolder folder;
  auto unit = makeUnit(folder.root);
  HostRender render(*unit, 128);
  const auto shape = unit->parameterTree()->parameterWithAddress(0);
  std::atomic<bool> done{false};
  std::thread renderer([&] {
    RenderEventList events(4);
    const std::uint8_t on[3] = {0x90, 48, 100};
    events.addMIDI(0, 0, on, 3);
    render(128, events.head());
    while (!done.load())
      render(128);
  });
  for (int n = 0; n < 40000; ++n)
    shape->setValue(float(n % 100) / 100.0f);
  done = true;
  renderer.join();
  EXPECT_EQ(shape->value(), 0.99f);
}

TEST(Threads, TwoProducersScheduleMIDIWhileRenderingAndEveryNoteArrivesOnce) {
  constexpr int kPerProducer = 400; // both together stay below the queue's 1024 places
  PresetFolder folder;
  auto unit = makeUnit(folder.root);
  HostRender render(*unit, 64);
  const auto schedule = unit->scheduleMIDIEventBlock();
  std::atomic<int> producing{2};
  std::thread renderer([&] {
    // The kernel's counter belongs to this thread until it is joined.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!(producing.load() == 0 && unit->kernel().noteAgeCounter == 2 * kPerProducer) &&
           std::chrono::steady_clock::now() < deadline)
      render(64);
  });
  auto produce = [&](std::uint8_t channel) {
    for (int n = 0; n < kPerProducer; ++n) {
      const std::uint8_t on[3] = {std::uint8_t(0x90 | channel), std::uint8_t(n % 128), 100};
      schedule(AUEventSampleTimeImmediate, 0, 3, on);
    }
    producing.fetch_sub(1);
  };
  std::thread first(produce, 0), second(produce, 1);
  first.join();
  second.join();
  renderer.join();
  for (int n = 0; n < 4; ++n) // nothing is delivered twice
    render(64);
  EXPECT_EQ(unit->droppedMIDIEventCount(), 0u);
  EXPECT_EQ(unit->kernel().noteAgeCounter, std::uint64_t(2 * kPerProducer));
}
