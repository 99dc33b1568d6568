// Cross-thread use: producers scheduling MIDI while a thread renders; parameters set, and
// observers added and removed, while a thread renders. Run under ThreadSanitizer too.
#include "tests/support/HostRig.h"
#include "tests/support/TestUnit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
constexpr int kPerProducer = 20000;

// Renders 64-frame calls until stop; publishes the start of the current call.
void renderUntil(const std::atomic<bool>& stop, HostRig& host, std::atomic<std::int64_t>& now) {
  for (std::int64_t time = 0; !stop.load(); time += 64) {
    now.store(time);
    host.at(double(time), 64);
  }
}
} // namespace

TEST(Threads, TwoProducersAndARendererDeliverEveryEventOnceInOrder) {
  auto probe = std::make_shared<Probe>();
  probe->recordCalls = false;
  auto unit = allocatedUnit(probe, 64);
  auto schedule = unit->scheduleMIDIEventBlock();
  std::atomic<bool> stop{false};
  std::atomic<std::int64_t> now{0};
  std::atomic<int> delivered{0};
  probe->onRender = [&] { delivered.store(int(probe->events.size())); };

  // Producer 0 uses the immediate time, producer 1 the renderer's current time; each waits
  // when far ahead of the renderer, so the queue never overflows.
  auto produce = [&](std::uint8_t id) {
    for (int n = 0; n < kPerProducer; ++n) {
      while (2 * n - delivered.load() > 512 + 2 * 64)
        std::this_thread::yield();
      const std::uint8_t bytes[3] = {std::uint8_t(0x90 | id), std::uint8_t(n >> 7),
                                     std::uint8_t(n & 0x7F)};
      schedule(id == 0 ? AUEventSampleTimeImmediate : now.load(), 0, 3, bytes);
    }
  };
  HostRig host(*unit, 64, false);
  std::thread renderer(renderUntil, std::cref(stop), std::ref(host), std::ref(now));
  std::thread first(produce, 0), second(produce, 1);
  first.join();
  second.join();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (delivered.load() < 2 * kPerProducer && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  stop = true;
  renderer.join();

  EXPECT_EQ(unit->droppedMIDIEventCount(), 0u);
  ASSERT_EQ(probe->events.size(), std::size_t(2 * kPerProducer));
  int next[2] = {0, 0};
  for (const ReceivedEvent& event : probe->events) {
    const int id = event.bytes[0] & 0x0F;
    ASSERT_EQ((event.bytes[1] << 7) | event.bytes[2], next[id]) << "producer " << id;
    ++next[id];
  }
}

TEST(Threads, ParametersAndObserversChangeWhileRendering) {
  auto probe = std::make_shared<Probe>();
  probe->recordCalls = false;
  auto unit = allocatedUnit(probe, 64);
  auto tree = unit->parameterTree();
  auto gain = tree->parameterWithAddress(0);
  std::atomic<bool> stop{false};
  std::atomic<std::int64_t> now{0};
  HostRig host(*unit, 64, false);
  std::thread renderer(renderUntil, std::cref(stop), std::ref(host), std::ref(now));
  std::thread setter([&] {
    const auto own = tree->tokenByAddingParameterObserver([](auto...) { FAIL(); });
    for (int n = 0; !stop.load(); ++n)
      gain->setValue(float(n % 100) / 100.0f, own);
    tree->removeParameterObserver(own);
  });

  // After each removal returns, its observer never runs again.
  for (int round = 0; round < 200; ++round) {
    auto parameterCalls = std::make_shared<std::atomic<int>>(0);
    auto renderCalls = std::make_shared<std::atomic<int>>(0);
    const auto p =
        tree->tokenByAddingParameterObserver([parameterCalls](auto...) { ++*parameterCalls; });
    const auto r = unit->tokenByAddingRenderObserver([renderCalls](auto...) { ++*renderCalls; });
    // Remove while both are being called.
    while (*parameterCalls == 0 || *renderCalls == 0)
      std::this_thread::yield();
    EXPECT_GE(gain->value(), 0.0f);
    tree->removeParameterObserver(p);
    unit->removeRenderObserver(r);
    const int parameterSeen = *parameterCalls, renderSeen = *renderCalls;
    std::this_thread::yield();
    EXPECT_EQ(*parameterCalls, parameterSeen);
    EXPECT_EQ(*renderCalls, renderSeen);
  }
  stop = true;
  setter.join();
  renderer.join();
}
