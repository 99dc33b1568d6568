// Standard MIDI files of any bytes, read as quorvane-render reads them: refused with a reason or
// read into complete messages in time order, with a length the renderer accepts or refuses, and
// played through the synthesiser, whose audio stays finite and within ±1.
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/FuzzUnits.h"

#include "hosting/CommandLine.h"
#include "tools/quorvane-render/MidiEventList.h"
#include "tools/quorvane-render/OfflineRender.h"
#include "tools/quorvane-render/RenderOptions.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace fuzz {

namespace {

// A low rate and a short run keep each input cheap; the reading is the same at any rate.
constexpr int kSampleRate = 8000;
constexpr std::int64_t kMostFrames = 16000;
constexpr int kBlockSize = 256;

Verdict eventFault(const tools::MidiEventList& list) {
  for (std::size_t i = 0; i < list.events.size(); ++i) {
    const tools::TimedMidiEvent& event = list.events[i];
    const std::string where = "event " + std::to_string(i) + ": ";
    if (event.bytes.empty())
      return where + "no bytes";
    if ((event.bytes[0] & 0x80) == 0)
      return where + "no status byte";
    if (event.sampleTime < 0)
      return where + "before the start";
    if (i > 0 && event.sampleTime < list.events[i - 1].sampleTime)
      return where + "out of time order";
  }
  if (!(list.lastEventSeconds >= 0.0))
    return "the last event at " + std::to_string(list.lastEventSeconds) + " s";
  return {};
}

} // namespace

Verdict midiFile(std::span<const std::uint8_t> bytes) {
  tools::RenderOptions options;
  options.sampleRate = kSampleRate;
  tools::MidiEventList list;
  std::int64_t frames = 0;
  try {
    list = tools::midiEventsFromBytes(bytes, options.sampleRate, "input.mid");
    if (Verdict fault = eventFault(list); !fault.empty())
      return fault;
    frames = tools::renderFrameCount(options, list.lastEventSeconds);
  } catch (const hosting::UsageError& refused) {
    if (std::string(refused.what()).empty())
      return "a refused file without a reason";
    return {};
  }

  auto synth = makeSeededSynth();
  synth->setMaximumFramesToRender(kBlockSize);
  (void)synth->outputBusses()[0].setFormat(AudioFormat::standard(kSampleRate, 2));
  if (!synth->allocateRenderResources())
    return "the synthesiser does not allocate";
  Verdict fault;
  const auto sink = [&fault](const float* left, const float* right, int n) {
    fault = audioFault(left, static_cast<std::size_t>(n));
    if (fault.empty())
      fault = audioFault(right, static_cast<std::size_t>(n));
    return fault.empty();
  };
  const OSStatus status =
      tools::renderOffline(synth->renderBlock(), list.events, std::min(frames, kMostFrames),
                           kBlockSize, sink, [](std::int64_t) { return true; });
  if (status != noErr)
    return "a render call returned " + std::to_string(status);
  return fault;
}

} // namespace fuzz
