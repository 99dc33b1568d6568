// A tiny instrument for the tests: records what its render block receives, renders its sample
// times, and has a gain parameter stored the way real units store it (an atomic in a kernel).
#pragma once

#include "platform/audiounit/AUAudioUnit.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

inline const AudioComponentDescription kTestDescription{fourCharCode("aumu"), fourCharCode("tst1"),
                                                        fourCharCode("ob*k"), 0, 0};

struct ReceivedEvent {
  AUEventSampleTime time;
  AURenderEventType type;
  std::uint8_t bytes[3];
  AUValue value;
};

// What the render block sees. Written on the render thread only; capacities are reserved so
// that recording never allocates.
struct Probe {
  Probe() {
    events.reserve(1 << 16);
    callTimes.reserve(1 << 12);
    callFrames.reserve(1 << 12);
  }
  std::vector<ReceivedEvent> events;
  std::vector<double> callTimes;
  std::vector<AUAudioFrameCount> callFrames;
  std::function<void()> onRender; // runs first in every render call
  OSStatus status = noErr;        // what the render block returns
  bool recordCalls = true;        // off for endless render loops
  std::atomic<float> gain{1.0f};  // parameter 0, as a kernel field
};

struct TestUnitOptions {
  std::uint32_t channels = 2;
  bool failAllocation = false; // the unit's own part of allocation fails
};

class TestUnit final : public AUAudioUnit {
public:
  explicit TestUnit(ConstructionKey key, std::shared_ptr<Probe> probe = std::make_shared<Probe>(),
                    TestUnitOptions options = {})
      : AUAudioUnit(key), probe_(std::move(probe)), options_(options) {}

  AUAudioUnitBusArray& outputBusses() override { return *outputs_; }

  AUResult<void> allocateRenderResources() override {
    auto result = AUAudioUnit::allocateRenderResources();
    if (!result || !options_.failAllocation)
      return result;
    AUAudioUnit::deallocateRenderResources();
    return AUError{-4242, "the test unit refuses to allocate"};
  }

  // Channel 0 holds gain x (sample time of the frame), the other channels its negation; every
  // event is recorded.
  AUInternalRenderBlock internalRenderBlock() override {
    return [probe = probe_](AudioUnitRenderActionFlags*, const AudioTimeStamp* timestamp,
                            AUAudioFrameCount frames, long, AudioBufferList* output,
                            const AURenderEvent* event, const AURenderPullInputBlock&) {
      if (probe->onRender)
        probe->onRender();
      for (; event != nullptr; event = event->head.next) {
        ReceivedEvent received{event->head.eventSampleTime, event->head.eventType, {}, 0};
        if (event->head.eventType == AURenderEventMIDI)
          std::memcpy(received.bytes, event->MIDI.data, 3);
        else if (event->head.eventType <= AURenderEventParameterRamp)
          received.value = event->parameter.value;
        probe->events.push_back(received);
      }
      if (probe->recordCalls) {
        probe->callFrames.push_back(frames);
        probe->callTimes.push_back(timestamp->mSampleTime);
      }
      const float gain = probe->gain.load(std::memory_order_relaxed);
      for (std::uint32_t c = 0; c < output->mNumberBuffers; ++c)
        if (float* samples = output->channel(c))
          for (AUAudioFrameCount i = 0; i < frames; ++i)
            samples[i] = (c == 0 ? gain : -gain) * float(timestamp->mSampleTime + i);
      return probe->status;
    };
  }

protected:
  AUResult<void> initWithComponentDescription(const AudioComponentDescription& description,
                                              AudioComponentInstantiationOptions options) override {
    if (auto result = AUAudioUnit::initWithComponentDescription(description, options); !result)
      return result;
    auto bus = AUAudioUnitBus::create(AudioFormat::standard(44100.0, options_.channels));
    if (!bus)
      return bus.error();
    outputs_ = std::make_unique<AUAudioUnitBusArray>(*this, AUAudioUnitBusType::output,
                                                     std::vector{bus.value()});
    auto tree = AUParameterTree::createTree({AUParameterTree::createParameter(
        "gain", "Gain", 0, 0, 2, kAudioUnitParameterUnit_LinearGain, std::nullopt, 0xC0000000, {},
        {})});
    tree->setImplementorValueObserver(
        [probe = probe_](AUParameter&, AUValue value) { probe->gain.store(value); });
    tree->setImplementorValueProvider(
        [probe = probe_](const AUParameter&) { return probe->gain.load(); });
    setParameterTree(tree);
    return {};
  }

private:
  std::shared_ptr<Probe> probe_;
  TestUnitOptions options_;
  std::unique_ptr<AUAudioUnitBusArray> outputs_;
};

inline std::shared_ptr<TestUnit> makeUnit(std::shared_ptr<Probe> probe = std::make_shared<Probe>(),
                                          TestUnitOptions options = {}) {
  return AUAudioUnit::create<TestUnit>(kTestDescription, 0, std::move(probe), options).value();
}

// An allocated test unit with this maximum frame count.
inline std::shared_ptr<TestUnit> allocatedUnit(std::shared_ptr<Probe> probe,
                                               AUAudioFrameCount maximumFrames = 512) {
  auto unit = makeUnit(std::move(probe));
  unit->setMaximumFramesToRender(maximumFrames);
  return unit->allocateRenderResources() ? unit : nullptr;
}
