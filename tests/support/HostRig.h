// The tests' one way of hosting a unit: render calls as a host makes them, the MIDI the unit
// sends and, for a generator, the host's timeline; Heard.h checks what comes back.
#pragma once

#include "hosting/HostTimeline.h"
#include "platform/audiounit/AUAudioUnit.h"
#include "tests/support/Heard.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

// Renders a unit into stereo buffers of its own, each call at the sample time the last one
// ended (or where the test says), and logs the MIDI the unit sends (the unit's MIDI output
// block is the rig's). It allocates the unit for the maximum frame count, unless told not to;
// a unit that cannot allocate throws, which fails the test.
class HostRig {
public:
  explicit HostRig(AUAudioUnit& unit, AUAudioFrameCount maximumFrames = 512, bool allocate = true)
      : left(maximumFrames), right(maximumFrames) {
    sent.reserve(1 << 16);
    unit.setMIDIOutputEventBlock(
        [this](AUEventSampleTime time, std::uint8_t, int length, const std::uint8_t* bytes) {
          if (length == 3)
            sent.push_back({time, {bytes[0], bytes[1], bytes[2]}});
          return noErr;
        });
    if (allocate) {
      unit.setMaximumFramesToRender(maximumFrames);
      if (auto allocated = unit.allocateRenderResources(); !allocated)
        throw std::runtime_error(allocated.error().localizedDescription());
    }
    block = unit.renderBlock();
  }
  HostRig(const HostRig&) = delete;
  HostRig& operator=(const HostRig&) = delete;

  // Answers the unit's musical-context and transport questions from the timeline, at each
  // call's sample time, with the transport moving while `moving` holds. Before allocating.
  static void follow(AUAudioUnit& unit, hosting::HostTimeline& timeline, const bool& moving) {
    unit.setMusicalContextBlock(
        [&timeline](double* t, double* n, long* d, double* beat, long* next, double* downbeat) {
          return timeline.musicalContext(t, n, d, beat, next, downbeat);
        });
    unit.setTransportStateBlock(
        [&moving](AUHostTransportStateFlags* flags, double* position, double* start, double* end) {
          return hosting::answerTransportState(moving, 0.0, flags, position, start, end);
        });
  }

  // A call of frames at the next sample time, into `buffers` of the two channels.
  OSStatus operator()(AUAudioFrameCount frames, const AURenderEvent* events = nullptr,
                      std::uint32_t buffers = 2) {
    const OSStatus status = at(double(time), frames, events, buffers);
    time += frames;
    return status;
  }

  // A call of frames at the next sample time into buffers the test laid out.
  OSStatus into(AudioBufferList& list, AUAudioFrameCount frames,
                const AURenderEvent* events = nullptr) {
    const OSStatus status = render(double(time), frames, list, events);
    time += frames;
    return status;
  }

  // A call of frames at this sample time; the next plain call still follows the last one.
  OSStatus at(double sampleTime, AUAudioFrameCount frames, const AURenderEvent* events = nullptr,
              std::uint32_t buffers = 2) {
    float* channels[2] = {left.data(), right.data()};
    AudioBufferList list = AudioBufferList::forChannels(channels, buffers, frames);
    return render(sampleTime, frames, list, events);
  }

  std::vector<float> left, right;
  AUEventSampleTime time = 0;                // of the next call's first frame
  hosting::HostTimeline* timeline = nullptr; // told each call's sample time, when set
  std::vector<TimedMidi> sent;               // what the unit sent, in order
  AURenderBlock block;
  AURenderPullInputBlock noInput;

private:
  OSStatus render(double sampleTime, AUAudioFrameCount frames, AudioBufferList& list,
                  const AURenderEvent* events) {
    if (timeline)
      timeline->setCurrentSampleTime(static_cast<std::int64_t>(sampleTime));
    const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(sampleTime);
    AudioUnitRenderActionFlags flags = 0;
    return block(&flags, &stamp, frames, 0, &list, events, noInput);
  }
};
