// Audits the synthesiser unit's render calls, engine included: no allocation, free, lock, sleep
// or I/O.
#include "UnitTestSupport.h"

#include "RealtimeAudit.h"

#include <algorithm>

using P = quorvane::dsp::QuorvaneParameter;

// Every stage on, every voice busy (so notes steal), the 24 dB cascade switched on and off, the
// pedal and the channel-mode controllers.
TEST(RealtimeAudit, RenderCallsWithEventsAndScheduledMIDIMakeNone) {
  constexpr AUAudioFrameCount kMax = 512;
  auto unit = makeSynth();
  for (P p : {P::echo, P::space, P::drift, P::motion, P::resonance, P::boost, P::detuneSpread})
    unit->parameterTree()->parameterWithAddress(address(p))->setValue(0.5f);
  HostRig render(*unit, kMax);
  const auto schedule = unit->scheduleMIDIEventBlock();
  RenderEventList events(16);
  resetRealtimeCounts();
  gCounting = true;
  render(kMax); // the first call too
  float loudest = 0;
  for (AUAudioFrameCount frames = 1; frames <= kMax; ++frames) {
    const std::uint8_t note = std::uint8_t(36 + frames % 48);
    const std::uint8_t on[3] = {0x90, note, 100}, off[3] = {0x80, std::uint8_t(note - 7), 0};
    const std::uint8_t bend[3] = {0xE0, 0, std::uint8_t(frames % 128)}, touch[2] = {0xD0, 64};
    const std::uint8_t keyTouch[3] = {0xA0, note, 90};
    const std::uint8_t pedal[3] = {0xB0, 64, std::uint8_t(frames % 2 * 127)};
    const std::uint8_t mode[3] = {0xB0, std::uint8_t(120 + frames % 4), 0}; // 120 ... 123
    schedule(AUEventSampleTimeImmediate, 0, 3, on);
    events.clear();
    events.addMIDI(render.time, 0, off, 3);
    events.addMIDI(render.time + frames / 2, 0, bend, 3);
    events.addMIDI(render.time + frames / 2, 0, touch, 2);
    events.addMIDI(render.time + frames / 2, 0, keyTouch, 3);
    events.addMIDI(render.time + frames / 3, 0, pedal, 3);
    events.addMIDI(render.time + frames - 1, 0, mode, 3);
    events.addParameter(render.time, address(P::filterRolloff), float(frames % 2));
    events.addParameter(render.time, address(P::frequency), float(frames % 10) / 10.0f);
    events.addParameterRamp(render.time, address(P::shape), float(frames % 7) / 7.0f, 100);
    ASSERT_EQ(render(frames, events.head()), noErr);
    loudest = std::max(loudest, peak(render.left.data(), frames));
  }
  gCounting = false;
  EXPECT_EQ(realtimeCounts(), RealtimeCounts{});
  EXPECT_GT(loudest, 0.0f);
  EXPECT_EQ(unit->droppedMIDIEventCount(), 0u);
}
