// Counts heap allocations during rendering: the render path must make none.
#include "QuorvaneAU/dsp/MidiDecoding.h"
#include "SignalTools.h"

#include "AllocationCounter.h"

#include <gtest/gtest.h>

TEST(Allocations, RenderingNeverAllocates) {
  constexpr int kMax = 512;
  PreparedKernel k(48000.0, kMax);
  applyFullChain(k);
  k.setParameter(15, 1.0f);
  for (int n = 0; n < 16; ++n)
    k.noteOn(std::uint8_t(36 + 3 * n), 100);
  std::vector<float> left(kMax + 100), right(kMax + 100);
  k.renderFrames(left.data(), right.data(), kMax); // any first-use work happens here

  gCounting = true;
  ::operator delete(::operator new(16)); // the counter itself must see this one
  const long seen = gAllocations.exchange(0);
  for (int n = 0; n <= kMax; ++n) {
    if (n % 37 == 0) { // events between blocks, as the render block applies them
      const std::uint8_t on[3] = {0x91, std::uint8_t(40 + n % 50), 90}, bend[3] = {0xE0, 0, 99};
      applyMIDIMessage(k, on, 3); // usually steals: every voice is busy
      applyMIDIMessage(k, bend, 3);
      k.setPolyPressure(on[1], 0.7f);
      k.setChannelPressure(float(n % 3) / 2.0f);
      k.noteOff(std::uint8_t(36 + 3 * (n % 16)));
      k.setParameter(16, float(n % 2)); // cascade on and off
    }
    k.renderFrames(left.data(), right.data(), n);
  }
  k.renderFrames(left.data(), right.data(), kMax + 100); // longer than prepared
  gCounting = false;
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(gAllocations.load(), 0);
}
