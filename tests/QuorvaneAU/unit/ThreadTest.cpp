// The synthesiser unit's parameters set from one thread while another renders; run under
// ThreadSanitizer too. MIDI scheduled from several threads is the wrapper's, tested with it.
#include "UnitTestSupport.h"

#include <atomic>
#include <thread>

TEST(Threads, ParametersChangeThroughTheTreeWhileRendering) {
  auto unit = makeSynth();
  HostRig render(*unit, 128);
  const auto shape = unit->parameterTree()->parameterWithIdentifier("shape");
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
