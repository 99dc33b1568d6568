// The render-block wrapper: observers, the hand-over of scheduled MIDI, the unit's block.
#include "platform/audiounit/AURenderCore.h"

#include "platform/audiounit/DenormalGuard.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
// Sample times far beyond any timeline are clamped so that adding a frame count or an
// immediate offset cannot overflow.
constexpr double kTimeLimit = 4611686018427387904.0; // 2^62
constexpr AUEventSampleTime kImmediateWindow = AUEventSampleTime{1} << 32;

AUEventSampleTime callStartOf(const AudioTimeStamp& timestamp) noexcept {
  const double time = std::floor(timestamp.mSampleTime);
  if (std::isnan(time))
    return 0;
  return static_cast<AUEventSampleTime>(std::clamp(time, -kTimeLimit, kTimeLimit));
}

bool isImmediate(AUEventSampleTime time) noexcept {
  return time >= AUEventSampleTimeImmediate && time < AUEventSampleTimeImmediate + kImmediateWindow;
}
} // namespace

AURenderCore::AURenderCore() : merged_(PendingMIDIEvents::kCapacity + kHostEventsBeforeScheduled) {}

void AURenderCore::prepare(AUInternalRenderBlock block, AUAudioFrameCount maximumFrames) {
  block_ = std::move(block);
  maximumFrames_.store(maximumFrames, std::memory_order_relaxed);
  // Release: a render call that sees the flag sees the block stored above.
  allocated.store(true, std::memory_order_release);
}

void AURenderCore::unprepare() noexcept { allocated.store(false, std::memory_order_release); }

void AURenderCore::scheduleMIDI(AUEventSampleTime time, std::uint8_t cable, int length,
                                const std::uint8_t* bytes) noexcept {
  ScheduledMIDIEvent event;
  if (length < 1 || length > 3 || bytes == nullptr) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  event.sampleTime = time;
  event.cable = cable;
  event.length = static_cast<std::uint8_t>(length);
  std::copy(bytes, bytes + length, event.bytes);
  if (!queue_.push(event))
    dropped_.fetch_add(1, std::memory_order_relaxed);
}

OSStatus AURenderCore::render(AudioUnitRenderActionFlags* actionFlags,
                              const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
                              long outputBusNumber, AudioBufferList* outputData,
                              const AURenderEvent* hostEvents,
                              const AURenderPullInputBlock& pull) noexcept {
  // For the whole call, observers included: the units' engines count on it.
  const DenormalGuard denormals;
  if (!prepared())
    return kAudioUnitErr_Uninitialized;
  if (frameCount > maximumFrames_.load(std::memory_order_relaxed))
    return kAudioUnitErr_TooManyFramesToProcess;
  if (timestamp == nullptr || outputData == nullptr)
    return kAudio_ParamError;
  AudioUnitRenderActionFlags ownFlags = 0;
  if (actionFlags == nullptr)
    actionFlags = &ownFlags;

  renderObservers.notify(kAUNoObserverToken, *actionFlags | kAudioUnitRenderAction_PreRender,
                         timestamp, frameCount, outputBusNumber);

  // After the pre-render observers, so what they schedule reaches this call.
  const AUEventSampleTime callStart = callStartOf(*timestamp);
  const AUEventSampleTime callEnd = callStart + AUEventSampleTime{frameCount};
  takeScheduledMIDI(callStart);
  const AURenderEvent* events = mergeDueMIDI(hostEvents, callStart, callEnd);

  const OSStatus status =
      block_(actionFlags, timestamp, frameCount, outputBusNumber, outputData, events, pull);

  AudioUnitRenderActionFlags postFlags =
      (*actionFlags & ~kAudioUnitRenderAction_PreRender) | kAudioUnitRenderAction_PostRender;
  if (status != noErr)
    postFlags |= kAudioUnitRenderAction_PostRenderError;
  renderObservers.notify(kAUNoObserverToken, postFlags, timestamp, frameCount, outputBusNumber);
  return status;
}

void AURenderCore::takeScheduledMIDI(AUEventSampleTime callStart) noexcept {
  // Stop while the pending store is full: what stays queued keeps its order and comes later.
  ScheduledMIDIEvent event;
  while (pending_.size() < PendingMIDIEvents::kCapacity && queue_.pop(event)) {
    if (isImmediate(event.sampleTime))
      event.sampleTime = callStart + (event.sampleTime - AUEventSampleTimeImmediate);
    pending_.insert(event);
  }
}

const AURenderEvent* AURenderCore::mergeDueMIDI(const AURenderEvent* hostEvents,
                                                AUEventSampleTime callStart,
                                                AUEventSampleTime callEnd) noexcept {
  std::size_t due = 0;
  while (due < pending_.size() && pending_[due].sampleTime < callEnd)
    ++due;
  if (due == 0)
    return hostEvents; // the common case: the host's list as it came

  merged_.clear();
  const AURenderEvent* host = hostEvents;
  std::size_t taken = 0;
  while (taken < due) {
    const ScheduledMIDIEvent& event = pending_[taken];
    // Events whose time has passed are stamped with the call's first sample.
    const AUEventSampleTime time = std::max(event.sampleTime, callStart);
    if (host != nullptr && host->head.eventSampleTime <= time) { // the host's first on ties
      if (!merged_.add(*host))
        break;
      host = host->head.next;
    } else {
      if (!merged_.addMIDI(time, event.cable, event.bytes, event.length))
        break;
      ++taken;
    }
  }
  // Whatever did not fit waits for the next call; the host's remaining events follow as they are.
  merged_.linkTail(host);
  pending_.dropFront(taken);
  return merged_.head();
}
