// What render calls pass and return: time stamps, action flags, the render and pull blocks,
// render observers, the MIDI schedule block and the host blocks a unit reads at allocation.
#pragma once

#include "platform/audiounit/AUError.h"
#include "platform/audiounit/AudioBufferList.h"

#include <cstdint>
#include <functional>

union AURenderEvent;

using AUAudioFrameCount = std::uint32_t;
using AUAudioChannelCount = std::uint32_t;
// A sample time on the host's timeline, as events carry it.
using AUEventSampleTime = std::int64_t;

// "At the start of the next render". AUEventSampleTimeImmediate + n (0 <= n < 2^32) means n
// frames after that start.
inline constexpr AUEventSampleTime AUEventSampleTimeImmediate =
    static_cast<AUEventSampleTime>(0xFFFFFFFF00000000ull);

inline constexpr std::uint32_t kAudioTimeStampSampleTimeValid = 1u << 0;
inline constexpr std::uint32_t kAudioTimeStampHostTimeValid = 1u << 1;
inline constexpr std::uint32_t kAudioTimeStampRateScalarValid = 1u << 2;

struct AudioTimeStamp {
  double mSampleTime = 0.0;
  std::uint64_t mHostTime = 0;
  double mRateScalar = 1.0;
  std::uint64_t mWordClockTime = 0;
  std::uint32_t mFlags = 0;
  std::uint32_t mReserved = 0;

  static AudioTimeStamp withSampleTime(double sampleTime) noexcept {
    AudioTimeStamp stamp;
    stamp.mSampleTime = sampleTime;
    stamp.mFlags = kAudioTimeStampSampleTimeValid;
    return stamp;
  }
};

using AudioUnitRenderActionFlags = std::uint32_t;
inline constexpr AudioUnitRenderActionFlags kAudioUnitRenderAction_PreRender = 1u << 2;
inline constexpr AudioUnitRenderActionFlags kAudioUnitRenderAction_PostRender = 1u << 3;
inline constexpr AudioUnitRenderActionFlags kAudioUnitRenderAction_OutputIsSilence = 1u << 4;
inline constexpr AudioUnitRenderActionFlags kAudioUnitRenderAction_PostRenderError = 1u << 8;

// Asks the unit's input for audio (unused by instruments and MIDI processors).
// Render thread.
using AURenderPullInputBlock = std::function<OSStatus(
    AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
    AUAudioFrameCount frameCount, long inputBusNumber, AudioBufferList* inputData)>;

// One render call: fills outputData with frameCount frames starting at timestamp->mSampleTime,
// applying the events of the list that starts at realtimeEventListHead (null for none).
// Returns noErr or an error status. Render thread; calling it never allocates. The pull
// block is passed by reference so that no copy is made per call.
using AURenderBlock = std::function<OSStatus(
    AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
    AUAudioFrameCount frameCount, long outputBusNumber, AudioBufferList* outputData,
    const AURenderEvent* realtimeEventListHead, const AURenderPullInputBlock& pullInputBlock)>;

// The unit's own render code, which renderBlock wraps. Same signature and thread.
using AUInternalRenderBlock = AURenderBlock;

// Called before (actionFlags has kAudioUnitRenderAction_PreRender) and after
// (kAudioUnitRenderAction_PostRender) each render call. Render thread.
using AURenderObserver =
    std::function<void(AudioUnitRenderActionFlags actionFlags, const AudioTimeStamp* timestamp,
                       AUAudioFrameCount frameCount, long outputBusNumber)>;

// Queues a MIDI message of 1 to 3 bytes for the render call that contains sampleTime (or the
// next one, for AUEventSampleTimeImmediate). Any thread, the render thread included.
using AUScheduleMIDIEventBlock =
    std::function<void(AUEventSampleTime eventSampleTime, std::uint8_t cable, int length,
                       const std::uint8_t* midiBytes)>;

// The host's MIDI input for what a unit plays, stamped with the unit's sample time.
// Called by the unit on the render thread.
using AUMIDIOutputEventBlock =
    std::function<OSStatus(AUEventSampleTime eventSampleTime, std::uint8_t cable, int length,
                           const std::uint8_t* midiBytes)>;

// The host's tempo, meter and position. Each pointer may be null (that value is not wanted).
// Answers false when the host cannot tell. Called by the unit on the render thread.
using AUHostMusicalContextBlock =
    std::function<bool(double* currentTempo, double* timeSignatureNumerator,
                       long* timeSignatureDenominator, double* currentBeatPosition,
                       long* sampleOffsetToNextBeat, double* currentMeasureDownbeatPosition)>;

using AUHostTransportStateFlags = std::uint32_t;
inline constexpr AUHostTransportStateFlags AUHostTransportStateChanged = 1;
inline constexpr AUHostTransportStateFlags AUHostTransportStateMoving = 2;
inline constexpr AUHostTransportStateFlags AUHostTransportStateRecording = 4;
inline constexpr AUHostTransportStateFlags AUHostTransportStateCycling = 8;

// The host's transport. Each pointer may be null. Answers false when the host cannot tell.
// Called by the unit on the render thread.
using AUHostTransportStateBlock = std::function<bool(
    AUHostTransportStateFlags* transportStateFlags, double* currentSamplePosition,
    double* cycleStartBeatPosition, double* cycleEndBeatPosition)>;
