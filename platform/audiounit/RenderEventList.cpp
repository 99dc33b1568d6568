// The render-event list builder: copies events into fixed storage and links them in time order.
#include "platform/audiounit/RenderEventList.h"

#include <cstring>

RenderEventList::RenderEventList(std::size_t capacity) : storage_(capacity) {}

void RenderEventList::clear() noexcept {
  size_ = 0;
  head_ = nullptr;
  last_ = nullptr;
  tailLinked_ = false;
}

bool RenderEventList::add(const AURenderEvent& event) noexcept {
  if (full() || tailLinked_)
    return false;
  AURenderEvent& slot = storage_[size_++];
  slot = event;
  const AUEventSampleTime time = event.head.eventSampleTime;
  if (last_ == nullptr || last_->head.eventSampleTime <= time) {
    slot.head.next = nullptr;
    if (last_ != nullptr)
      last_->head.next = &slot;
    else
      head_ = &slot;
    last_ = &slot;
    return true;
  }
  // Out of order: walk to the last event that is not later. Only storage_ is walked (no tail
  // is linked), so the predecessor can be written through its index.
  if (head_->head.eventSampleTime > time) {
    slot.head.next = head_;
    head_ = &slot;
    return true;
  }
  const AURenderEvent* before = head_;
  while (before->head.next != nullptr && before->head.next->head.eventSampleTime <= time)
    before = before->head.next;
  AURenderEvent& predecessor = storage_[static_cast<std::size_t>(before - storage_.data())];
  slot.head.next = predecessor.head.next;
  predecessor.head.next = &slot;
  return true;
}

namespace {
AURenderEvent parameterEvent(AURenderEventType type, AUEventSampleTime time,
                             AUParameterAddress address, AUValue value,
                             AUAudioFrameCount duration) noexcept {
  AURenderEvent event;
  event.parameter = {};
  event.parameter.eventSampleTime = time;
  event.parameter.eventType = type;
  event.parameter.rampDurationSampleFrames = duration;
  event.parameter.parameterAddress = address;
  event.parameter.value = value;
  return event;
}
} // namespace

bool RenderEventList::addParameter(AUEventSampleTime time, AUParameterAddress address,
                                   AUValue value) noexcept {
  return add(parameterEvent(AURenderEventParameter, time, address, value, 0));
}

bool RenderEventList::addParameterRamp(AUEventSampleTime time, AUParameterAddress address,
                                       AUValue value, AUAudioFrameCount duration) noexcept {
  return add(parameterEvent(AURenderEventParameterRamp, time, address, value, duration));
}

bool RenderEventList::addMIDI(AUEventSampleTime time, std::uint8_t cable, const std::uint8_t* bytes,
                              int length) noexcept {
  if (length < 1 || length > 3 || bytes == nullptr)
    return false;
  AURenderEvent event;
  event.MIDI = {};
  event.MIDI.eventSampleTime = time;
  event.MIDI.eventType = AURenderEventMIDI;
  event.MIDI.length = static_cast<std::uint16_t>(length);
  event.MIDI.cable = cable;
  std::memcpy(event.MIDI.data, bytes, static_cast<std::size_t>(length));
  return add(event);
}

bool RenderEventList::addSysEx(AUEventSampleTime time, std::uint8_t cable,
                               const std::uint8_t* bytes, std::uint32_t length) noexcept {
  AURenderEvent event;
  event.sysEx = {};
  event.sysEx.eventSampleTime = time;
  event.sysEx.eventType = AURenderEventMIDISysEx;
  event.sysEx.cable = cable;
  event.sysEx.length = length;
  event.sysEx.data = bytes;
  return add(event);
}

bool RenderEventList::addMIDIEventList(AUEventSampleTime time, std::uint8_t cable,
                                       const std::uint32_t* words,
                                       std::uint32_t wordCount) noexcept {
  AURenderEvent event;
  event.MIDIEventsList = {};
  event.MIDIEventsList.eventSampleTime = time;
  event.MIDIEventsList.eventType = AURenderEventMIDIEventList;
  event.MIDIEventsList.cable = cable;
  event.MIDIEventsList.wordCount = wordCount;
  event.MIDIEventsList.words = words;
  return add(event);
}

void RenderEventList::linkTail(const AURenderEvent* rest) noexcept {
  if (rest == nullptr)
    return;
  if (last_ != nullptr)
    last_->head.next = rest;
  else
    head_ = rest;
  tailLinked_ = true;
}
