// Turning a render call into kernel calls: the host's answers into a position, the parameter
// events into parameter values, the kernel's notes into calls of the host's MIDI output block.
#include "PallixAU/unit/PallixRenderBlock.h"

#include "PallixAU/engine/Kernel.h"
#include "platform/audiounit/RenderEvent.h"

#include <cstring>

namespace pallix::unit {

using engine::HostPosition;
using engine::Kernel;
using engine::MidiSink;

namespace {

// Asked in this order every call, whether the transport moves or not.
HostPosition askHost(const ContextHolder& context) noexcept {
  HostPosition position;
  if (context.musicalContext) {
    double tempo = 0.0, numerator = 0.0, beat = 0.0, downbeat = 0.0;
    long denominator = 0, toNextBeat = 0;
    position.hasMusicalContext =
        context.musicalContext(&tempo, &numerator, &denominator, &beat, &toNextBeat, &downbeat);
    position.tempo = tempo;
    position.beatsPerBar = numerator;
    position.beatUnit = denominator;
    position.beatPosition = beat;
    position.samplesToNextBeat = toNextBeat;
    position.downbeatPosition = downbeat;
  }
  if (context.transportState) {
    AUHostTransportStateFlags flags = 0;
    double samplePosition = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    position.hasTransportState =
        context.transportState(&flags, &samplePosition, &cycleStart, &cycleEnd);
    position.moving = (flags & AUHostTransportStateMoving) != 0;
  }
  return position;
}

void applyParameterEvents(Kernel& kernel, const AURenderEvent* events) noexcept {
  for (const AURenderEvent* e = events; e; e = e->head.next)
    if (e->head.eventType == AURenderEventParameter ||
        e->head.eventType == AURenderEventParameterRamp)
      if (const auto parameter = engine::pallixParameterAt(e->parameter.parameterAddress))
        kernel.setParameter(*parameter,
                            foundation::withinRange(engine::rowOf(*parameter), e->parameter.value));
}

// Without an output block the kernel's notes go nowhere.
MidiSink sinkOf(AUMIDIOutputEventBlock& midiOut) noexcept {
  if (!midiOut)
    return {};
  return {
      [](void* target, std::int64_t sampleTime, const std::uint8_t* bytes, int length) noexcept {
        (*static_cast<AUMIDIOutputEventBlock*>(target))(sampleTime, 0, length, bytes);
      },
      &midiOut};
}

void silence(AudioBufferList* output) noexcept {
  if (output)
    for (std::uint32_t b = 0; b < output->mNumberBuffers && b < AudioBufferList::kMaxBuffers; ++b)
      if (AudioBuffer& buffer = output->mBuffers[b]; buffer.mData)
        std::memset(buffer.mData, 0, buffer.mDataByteSize);
}

} // namespace

AUInternalRenderBlock makePallixRenderBlock(std::shared_ptr<Kernel> kernel,
                                            std::shared_ptr<ContextHolder> context) {
  return [kernel = std::move(kernel), context = std::move(context)](
             AudioUnitRenderActionFlags*, const AudioTimeStamp* timestamp,
             AUAudioFrameCount frameCount, long, AudioBufferList* output,
             const AURenderEvent* events, const AURenderPullInputBlock&) -> OSStatus {
    if (!timestamp)
      return kAudio_ParamError;
    const HostPosition position = askHost(*context);
    applyParameterEvents(*kernel, events);
    kernel->render(timestamp->mSampleTime, frameCount, position, sinkOf(context->midiOut));
    silence(output);
    return noErr;
  };
}

} // namespace pallix::unit
