// The synthesiser's render block under any host: arbitrary event lists and calls, scheduled
// MIDI, parameter values of every kind, resets and reallocations. The audio must stay finite
// and within ±1, and a synthesiser whose parameters are set back to sane values must sound
// again without a reset.
#include "tests/fuzz/FuzzHost.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/FuzzUnits.h"

#include "platform/audiounit/AUParameterTree.h"
#include "platform/audiounit/RenderEventList.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace fuzz {

namespace {

constexpr int kMaxOperations = 64;
// The delay and reverb lines hold seconds of audio at the rate: filling them on each allocation
// and reset is most of what an input costs (under the fuzzer's coverage counters, every sample
// of it), and high rates add nothing the plug-in tests' sweeps over the usual rates miss.
constexpr double kMostRate = 12000.0;
constexpr AUAudioFrameCount kProbeCallFrames = 256;

// Every parameter back at its default, the controllers reset, then one note: it must be heard.
Verdict soundsAgain(quorvane::unit::QuorvaneAudioUnit& unit, HostRenderer& host) {
  for (const auto& parameter : unit.parameterTree()->allParameters())
    parameter->setValue(unit.defaultParameterValues().at(parameter->identifier()));
  // At the first frame of a call at 0: wherever the time stamps went before, an event there
  // would apply at whatever frame its distance from them gives.
  host.locate(0.0);
  RenderEventList events(2);
  const std::uint8_t resetControllers[3] = {0xB0, 121, 0};
  const std::uint8_t noteOn[3] = {0x90, 60, 100};
  events.addMIDI(0, 0, resetControllers, 3);
  events.addMIDI(0, 0, noteOn, 3);
  // 10 ms: twice the default attack, and cycles of a middle C.
  std::int64_t frames =
      static_cast<std::int64_t>(unit.outputBusses()[0].format().sampleRate * 0.01);
  float peak = 0.0f;
  for (const AURenderEvent* head = events.head(); frames > 0; head = nullptr) {
    const auto n =
        static_cast<AUAudioFrameCount>(std::min<std::int64_t>(frames, host.maximumFrames()));
    if (Verdict fault = host.call(n, head); !fault.empty())
      return fault;
    for (AUAudioFrameCount i = 0; i < n; ++i)
      peak = std::max(peak, std::abs(host.left()[i]));
    frames -= n;
  }
  if (peak < 1e-3f)
    return "a note after every parameter was set back stays silent (peak " + std::to_string(peak) +
           ")";
  return {};
}

} // namespace

Verdict synthRender(std::span<const std::uint8_t> bytes) {
  FuzzInput in(bytes);
  auto unit = makeSeededSynth();
  if (Verdict fault = allocate(*unit, in, kMostRate); !fault.empty())
    return fault;
  HostRenderer host(*unit);
  using enum Operation;
  HostSession session{{call, call, call, call, scheduleMIDI, setParameter, reset, reallocate},
                      kMaxOperations};
  session.mostRate = kMostRate;
  if (Verdict fault = session.run(*unit, host, in); !fault.empty())
    return fault;
  // Only where it costs few calls, where a middle C is well below the Nyquist frequency, and
  // where no scheduled message may still wait to silence the final note.
  if (session.scheduled || !unit->renderResourcesAllocated() ||
      host.maximumFrames() < kProbeCallFrames ||
      unit->outputBusses()[0].format().sampleRate < 8000.0)
    return {};
  return soundsAgain(*unit, host);
}

} // namespace fuzz
