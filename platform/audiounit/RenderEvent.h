// Render events: parameter changes and MIDI for one render call, as a linked list in time order.
#pragma once

#include "platform/audiounit/AUParameterTypes.h"
#include "platform/audiounit/RenderTypes.h"

#include <cstdint>

// Threads: plain records. A list passed to a render call belongs to that call: it is valid
// only during it, on the render thread.

enum AURenderEventType : std::uint8_t {
  AURenderEventParameter = 1,
  AURenderEventParameterRamp = 2,
  AURenderEventMIDI = 8,
  AURenderEventMIDISysEx = 9,
  AURenderEventMIDIEventList = 10,
};

// Every event starts with these fields, so head.next, head.eventSampleTime and head.eventType
// may be read whatever the event's type.
struct AURenderEventHeader {
  const AURenderEvent* next;
  AUEventSampleTime eventSampleTime;
  AURenderEventType eventType;
  std::uint8_t reserved;
};

// AURenderEventParameter (rampDurationSampleFrames 0) and AURenderEventParameterRamp.
struct AUParameterEvent {
  const AURenderEvent* next;
  AUEventSampleTime eventSampleTime;
  AURenderEventType eventType;
  std::uint8_t reserved[3];
  AUAudioFrameCount rampDurationSampleFrames;
  AUParameterAddress parameterAddress;
  AUValue value;
};

// AURenderEventMIDI: one message of 1 to 3 bytes.
struct AUMIDIEvent {
  const AURenderEvent* next;
  AUEventSampleTime eventSampleTime;
  AURenderEventType eventType;
  std::uint8_t reserved;
  std::uint16_t length;
  std::uint8_t cable;
  std::uint8_t data[3];
};

// AURenderEventMIDISysEx: a system-exclusive message of any length, F0 ... F7. The bytes belong
// to whoever built the list and live as long as the list.
struct AUMIDISysExEvent {
  const AURenderEvent* next;
  AUEventSampleTime eventSampleTime;
  AURenderEventType eventType;
  std::uint8_t reserved;
  std::uint8_t cable;
  std::uint32_t length;
  const std::uint8_t* data;
};

// AURenderEventMIDIEventList: Universal MIDI Packet words, owned as sysex bytes are.
struct AUMIDIEventList {
  const AURenderEvent* next;
  AUEventSampleTime eventSampleTime;
  AURenderEventType eventType;
  std::uint8_t reserved;
  std::uint8_t cable;
  std::uint32_t wordCount;
  const std::uint32_t* words;
};

union AURenderEvent {
  AURenderEventHeader head;
  AUParameterEvent parameter;
  AUMIDIEvent MIDI;
  AUMIDISysExEvent sysEx;
  AUMIDIEventList MIDIEventsList;
};
