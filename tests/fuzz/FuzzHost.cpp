// What the render fuzz targets do to a unit as a careless host would.
#include "tests/fuzz/FuzzHost.h"

#include "platform/audiounit/AUParameterTree.h"
#include "tests/fuzz/FuzzUnits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace fuzz {

namespace {

constexpr AUAudioFrameCount kLargestMaximum = 4096;

// Usually near the call, sometimes anywhere: far past, far future, the immediate marker.
AUEventSampleTime readEventTime(FuzzInput& in, std::int64_t callStart, AUAudioFrameCount frames) {
  const std::uint8_t choice = in.byte();
  if (choice < 200)
    return callStart - 4 + static_cast<std::int64_t>(in.inRange(0, frames + 8));
  if (choice < 216)
    return AUEventSampleTimeImmediate + static_cast<std::int64_t>(in.inRange(0, frames + 8));
  if (choice < 224)
    return choice & 1 ? std::numeric_limits<AUEventSampleTime>::max()
                      : std::numeric_limits<AUEventSampleTime>::min();
  return in.raw<AUEventSampleTime>();
}

AUParameterAddress readAddress(FuzzInput& in) {
  const std::uint8_t choice = in.byte();
  return choice < 240 ? choice % 24 : in.raw<AUParameterAddress>();
}

double readSampleRate(FuzzInput& in) {
  constexpr std::array<double, 8> kUsual{44100.0, 48000.0,  96000.0,  8000.0,
                                         22050.0, 192000.0, 384000.0, 1000000.0};
  const std::uint8_t choice = in.byte();
  if (choice < 224)
    return kUsual[choice % kUsual.size()];
  // Rates a bus refuses (non-finite, negative, too high) leave the unit's; the units refuse
  // rates below 1 kHz themselves, which is no fault.
  const double rate = in.number(1000.0, 1000000.0);
  return rate > 0.0 && rate < 1000.0 ? 1000.0 : rate;
}

void scheduleMIDI(const AUScheduleMIDIEventBlock& schedule, FuzzInput& in, std::int64_t now) {
  if (!schedule) // a unit that takes no MIDI offers no block
    return;
  std::array<std::uint8_t, 8> bytes{};
  const AUEventSampleTime time = readEventTime(in, now, 512);
  const std::uint8_t cable = in.byte();
  const int length = static_cast<int>(in.inRange(0, 9)) - 1; // -1 ... 8
  for (std::uint8_t& b : bytes)
    b = in.byte();
  schedule(time, cable, length, bytes.data());
}

void setParameterFromTree(AUAudioUnit& unit, FuzzInput& in) {
  const auto& parameters = unit.parameterTree()->allParameters();
  if (parameters.empty())
    return;
  AUParameter& parameter = *parameters[in.byte() % parameters.size()];
  parameter.setValue(in.value(parameter.minValue(), parameter.maxValue()));
}

} // namespace

Verdict allocate(AUAudioUnit& unit, double sampleRate, AUAudioFrameCount maximumFrames) {
  (void)unit.outputBusses()[0].setFormat(AudioFormat::standard(sampleRate, 2));
  unit.setMaximumFramesToRender(maximumFrames);
  if (auto result = unit.allocateRenderResources(); !result)
    return "allocation at " + std::to_string(unit.outputBusses()[0].format().sampleRate) +
           " Hz for " + std::to_string(maximumFrames) +
           " frames failed: " + result.error().localizedDescription();
  return {};
}

Verdict allocate(AUAudioUnit& unit, FuzzInput& in, double mostRate) {
  const double rate = std::min(readSampleRate(in), mostRate); // read before the maximum
  return allocate(unit, rate, static_cast<AUAudioFrameCount>(in.inRange(1, kLargestMaximum)));
}

const AURenderEvent* EventScript::read(FuzzInput& in, std::int64_t callStart,
                                       AUAudioFrameCount frames) {
  const std::size_t count = std::min<std::size_t>(in.byte() % (kCapacity + 1), kCapacity);
  const AURenderEvent* head = nullptr;
  AURenderEvent* last = nullptr;
  for (std::size_t i = 0; i < count; ++i) {
    AURenderEvent& event = events_[i];
    event = {};
    const AUEventSampleTime time = readEventTime(in, callStart, frames);
    const std::uint8_t kind = in.byte();
    switch (kind % 6) {
    case 0:
    case 1: {
      const bool ramp = kind % 6 == 1;
      event.parameter = {nullptr,
                         time,
                         ramp ? AURenderEventParameterRamp : AURenderEventParameter,
                         {},
                         ramp ? in.raw<AUAudioFrameCount>() : 0,
                         readAddress(in),
                         in.value(0.0f, 1.0f)};
      break;
    }
    case 2:
    case 3: {
      // A length field beyond 3 is a host's mistake the unit must survive, not read past.
      const std::uint16_t length = in.byte() < 224 ? 1 + in.byte() % 3 : in.raw<std::uint16_t>();
      event.MIDI = {nullptr, time, AURenderEventMIDI, 0, length, in.byte(), {}};
      for (std::uint8_t& b : event.MIDI.data)
        b = in.byte();
      break;
    }
    case 4: {
      auto& bytes = sysEx_[i];
      for (std::uint8_t& b : bytes)
        b = in.byte();
      event.sysEx = {nullptr,        time,        AURenderEventMIDISysEx, 0, in.byte(),
                     in.byte() % 9u, bytes.data()};
      break;
    }
    default: {
      auto& words = words_[i];
      for (std::uint32_t& w : words)
        w = in.raw<std::uint32_t>();
      const auto type = kind % 6 == 5 && (kind & 0x80) ? static_cast<AURenderEventType>(in.byte())
                                                       : AURenderEventMIDIEventList;
      event.MIDIEventsList = {nullptr, time, type, 0, in.byte(), in.byte() % 5u, words.data()};
      break;
    }
    }
    if (last)
      last->head.next = &event;
    else
      head = &event;
    last = &event;
  }
  return head;
}

HostRenderer::HostRenderer(AUAudioUnit& unit) : block_(unit.renderBlock()) { refresh(unit); }

void HostRenderer::refresh(AUAudioUnit& unit) {
  maximum_ = unit.maximumFramesToRender();
  left_.assign(maximum_ + 64, 0.0f);
  right_.assign(maximum_ + 64, 0.0f);
  allocated_ = unit.renderResourcesAllocated();
}

Verdict HostRenderer::call(FuzzInput& in, EventScript& script) {
  const std::uint8_t sizing = in.byte();
  const AUAudioFrameCount frames = sizing < 248
                                       ? static_cast<AUAudioFrameCount>(in.inRange(1, maximum_))
                                       : maximum_ + 1 + static_cast<AUAudioFrameCount>(in.byte());
  AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(nextTime_);
  const std::uint8_t timing = in.byte();
  if (timing >= 240)
    stamp.mSampleTime = in.number(-1e6, 1e12);
  else if (timing >= 232)
    stamp.mSampleTime = std::floor(in.number(0.0, 1e9));
  const AURenderEvent* events =
      script.read(in,
                  std::isfinite(stamp.mSampleTime)
                      ? static_cast<std::int64_t>(std::clamp(stamp.mSampleTime, -1e15, 1e15))
                      : 0,
                  frames);
  return render(stamp, frames, events, in.byte());
}

Verdict HostRenderer::call(AUAudioFrameCount frames, const AURenderEvent* events) {
  return render(AudioTimeStamp::withSampleTime(nextTime_), frames, events, 0);
}

Verdict HostRenderer::render(const AudioTimeStamp& stamp, AUAudioFrameCount frames,
                             const AURenderEvent* events, int layout) {
  const bool pinned = std::isfinite(stamp.mSampleTime) && std::abs(stamp.mSampleTime) < 1e15 &&
                      stamp.mSampleTime == std::floor(stamp.mSampleTime);
  callStart_ = pinned ? static_cast<std::int64_t>(stamp.mSampleTime) : -1;
  if (beforeCall)
    beforeCall(callStart_, frames);

  const AUAudioFrameCount room = std::min<AUAudioFrameCount>(frames, maximum_ + 64);
  float* channels[2] = {left_.data(), right_.data()};
  AudioBufferList list = AudioBufferList::forChannels(channels, 2, room);
  if (layout >= 240) // one buffer only
    list.mNumberBuffers = 1;
  else if (layout >= 224) // no memory: the unit lends its own
    list.mBuffers[0].mData = list.mBuffers[1].mData = nullptr;
  else if (layout >= 216) // shorter than the call
    list.mBuffers[layout & 1].mDataByteSize = (room / 2) * sizeof(float);

  AudioUnitRenderActionFlags flags = 0;
  const OSStatus status = block_(&flags, &stamp, frames, 0, &list, events, noInput_);
  const OSStatus expected = !allocated_         ? kAudioUnitErr_Uninitialized
                            : frames > maximum_ ? kAudioUnitErr_TooManyFramesToProcess
                                                : noErr;
  if (status != expected)
    return "a render call of " + std::to_string(frames) + " frames (maximum " +
           std::to_string(maximum_) + ") returned " + std::to_string(status) + ", not " +
           std::to_string(expected);
  if (std::isfinite(stamp.mSampleTime))
    nextTime_ = stamp.mSampleTime + frames;
  if (status != noErr)
    return {};
  for (std::uint32_t c = 0; c < list.mNumberBuffers; ++c)
    if (const float* samples = list.channel(c))
      if (Verdict fault = audioFault(samples, list.mBuffers[c].mDataByteSize / sizeof(float));
          !fault.empty())
        return "channel " + std::to_string(c) + ", " + fault;
  return {};
}

Verdict HostSession::run(AUAudioUnit& unit, HostRenderer& host, FuzzInput& in) {
  EventScript script;
  const AUScheduleMIDIEventBlock schedule = unit.scheduleMIDIEventBlock();
  for (int operation = 0; operation < limit && !in.empty(); ++operation) {
    switch (operations[in.byte() % 8]) {
    case Operation::call:
      if (Verdict fault = host.call(in, script); !fault.empty())
        return fault;
      break;
    case Operation::scheduleMIDI:
      scheduleMIDI(schedule, in, host.callStart());
      scheduled = true;
      break;
    case Operation::setParameter:
      setParameterFromTree(unit, in);
      break;
    case Operation::reset:
      unit.reset();
      break;
    case Operation::reallocate:
      unit.deallocateRenderResources();
      if (in.flag()) {
        if (beforeAllocating)
          beforeAllocating();
        if (Verdict fault = allocate(unit, in, mostRate); !fault.empty())
          return fault;
      }
      if (reallocated)
        reallocated();
      host.refresh(unit);
      break;
    }
    if (Verdict fault = check ? check() : Verdict{}; !fault.empty())
      return fault;
  }
  return {};
}

} // namespace fuzz
