// Parameter addresses, values, units, flags, observer tokens and callback types.
#pragma once

#include <cstdint>
#include <functional>

// Threads: plain values and types; any thread.

using AUParameterAddress = std::uint64_t;
using AUValue = float;

enum AudioUnitParameterUnit : std::uint32_t {
  kAudioUnitParameterUnit_Generic = 0,
  kAudioUnitParameterUnit_Indexed = 1,
  kAudioUnitParameterUnit_Boolean = 2,
  kAudioUnitParameterUnit_Percent = 3,
  kAudioUnitParameterUnit_Seconds = 4,
  kAudioUnitParameterUnit_SampleFrames = 5,
  kAudioUnitParameterUnit_Phase = 6,
  kAudioUnitParameterUnit_Rate = 7,
  kAudioUnitParameterUnit_Hertz = 8,
  kAudioUnitParameterUnit_Cents = 9,
  kAudioUnitParameterUnit_RelativeSemiTones = 10,
  kAudioUnitParameterUnit_MIDINoteNumber = 11,
  kAudioUnitParameterUnit_MIDIController = 12,
  kAudioUnitParameterUnit_Decibels = 13,
  kAudioUnitParameterUnit_LinearGain = 14,
  kAudioUnitParameterUnit_Degrees = 15,
  kAudioUnitParameterUnit_Pan = 18,
  kAudioUnitParameterUnit_Octaves = 21,
  kAudioUnitParameterUnit_BPM = 22,
  kAudioUnitParameterUnit_Beats = 23,
  kAudioUnitParameterUnit_Milliseconds = 24,
  kAudioUnitParameterUnit_Ratio = 25,
  kAudioUnitParameterUnit_CustomUnit = 26,
};

using AudioUnitParameterOptions = std::uint32_t;
inline constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_CanRamp = 1u << 25;
inline constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_DisplayLogarithmic = 1u << 22;
inline constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_ValuesHaveStrings = 1u << 21;
inline constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_IsReadable = 1u << 30;
inline constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_IsWritable = 1u << 31;

// What a setValue says: a new value, or the start (touch) or end (release) of a gesture,
// which change no value and reach only automation observers.
enum class AUParameterAutomationEventType : std::uint8_t { value = 0, touch = 1, release = 2 };

// Identifies an observer for removal and as the originator of a change. Tokens are positive;
// 0 means none.
using AUObserverToken = std::int64_t;
using AUParameterObserverToken = AUObserverToken;
inline constexpr AUObserverToken kAUNoObserverToken = 0;

// Told of every new value of a tree's parameters, on the thread that set it.
using AUParameterObserver = std::function<void(AUParameterAddress address, AUValue value)>;
// Told of new values and of gestures, on the thread that set them.
using AUParameterAutomationObserver = std::function<void(AUParameterAddress address, AUValue value,
                                                         AUParameterAutomationEventType eventType)>;
