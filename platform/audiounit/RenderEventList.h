// A fixed-capacity builder of render-event lists, for hosts and for the render-block wrapper.
#pragma once

#include "platform/audiounit/RenderEvent.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Threads: construction allocates and belongs on a control thread; everything else never
// allocates, locks or throws, so the render thread may build lists. One thread at a time.
class RenderEventList {
public:
  explicit RenderEventList(std::size_t capacity);

  RenderEventList(const RenderEventList&) = delete;
  RenderEventList& operator=(const RenderEventList&) = delete;

  std::size_t capacity() const noexcept { return storage_.size(); }
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return head_ == nullptr; }
  bool full() const noexcept { return size_ == storage_.size(); }

  // The first event, or null. The list stays valid until the next clear().
  const AURenderEvent* head() const noexcept { return head_; }

  void clear() noexcept;

  // Each add copies an event into the list after every event whose time is not later, so
  // events keep time order and equal times keep the order they were added in (appending in
  // time order costs nothing extra). Answers false, changing nothing, when the list is full,
  // when a tail has been linked, or for a MIDI length outside 1 ... 3.
  bool add(const AURenderEvent& event) noexcept;
  bool addParameter(AUEventSampleTime time, AUParameterAddress address, AUValue value) noexcept;
  bool addParameterRamp(AUEventSampleTime time, AUParameterAddress address, AUValue value,
                        AUAudioFrameCount rampDurationSampleFrames) noexcept;
  bool addMIDI(AUEventSampleTime time, std::uint8_t cable, const std::uint8_t* bytes,
               int length) noexcept;
  // The bytes and words are not copied: they must outlive the render call.
  bool addSysEx(AUEventSampleTime time, std::uint8_t cable, const std::uint8_t* bytes,
                std::uint32_t length) noexcept;
  bool addMIDIEventList(AUEventSampleTime time, std::uint8_t cable, const std::uint32_t* words,
                        std::uint32_t wordCount) noexcept;

  // Links a list owned by someone else after the last event, without copying it; its events
  // must not be earlier than the last one here. Nothing can be added afterwards until clear().
  void linkTail(const AURenderEvent* rest) noexcept;

private:
  std::vector<AURenderEvent> storage_;
  std::size_t size_ = 0;
  const AURenderEvent* head_ = nullptr;
  AURenderEvent* last_ = nullptr;
  bool tailLinked_ = false;
};
