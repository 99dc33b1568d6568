// Playing a unit as a well-behaved host does.
#include "tests/fuzz/SteadyPlay.h"

#include "platform/audiounit/RenderEventList.h"
#include "tests/fuzz/FuzzHost.h"
#include "tests/fuzz/FuzzUnits.h"
#include "tests/support/HostRig.h"

namespace fuzz {

Verdict playGenerator(pallix::unit::PallixAudioUnit& unit, const SteadyPlay& play) {
  MidiLedger ledger;
  hosting::HostTimeline timeline(play.sampleRate, play.tempo, play.meter, 0);
  bool moving = true;
  unit.setMIDIOutputEventBlock(ledger.outputBlock());
  HostRig::follow(unit, timeline, moving);
  if (Verdict fault = allocate(unit, play.sampleRate, play.blockSize); !fault.empty())
    return fault;
  HostRenderer host(unit);
  host.beforeCall = [&](std::int64_t start, AUAudioFrameCount frames) {
    timeline.setCurrentSampleTime(start);
    ledger.expectCall(start, frames);
  };
  for (std::int64_t done = 0; done <= play.frames; done += play.blockSize) {
    if (done + play.blockSize > play.frames)
      moving = false; // the last call stops the transport
    if (Verdict fault = host.call(play.blockSize, nullptr); !fault.empty())
      return fault;
    if (!ledger.fault().empty())
      return ledger.fault();
  }
  unit.deallocateRenderResources();
  return ledger.openNotes();
}

Verdict playSynth(quorvane::unit::QuorvaneAudioUnit& unit, const SteadyPlay& play) {
  if (Verdict fault = allocate(unit, play.sampleRate, play.blockSize); !fault.empty())
    return fault;
  HostRenderer host(unit);
  RenderEventList chord(8), release(8);
  for (const std::uint8_t note : {36, 60, 64, 103}) {
    const std::uint8_t on[3] = {0x90, note, 127}, off[3] = {0x80, note, 0};
    chord.addMIDI(0, 0, on, 3);
    release.addMIDI(play.frames / 2, 0, off, 3);
  }
  for (std::int64_t done = 0; done < play.frames; done += play.blockSize) {
    const RenderEventList* events = done == 0 ? &chord : nullptr;
    if (done <= play.frames / 2 && play.frames / 2 < done + play.blockSize)
      events = &release;
    if (Verdict fault = host.call(play.blockSize, events ? events->head() : nullptr);
        !fault.empty())
      return fault;
  }
  unit.deallocateRenderResources();
  return {};
}

} // namespace fuzz
