// Bus formats, their checks, and the bus arrays that tie busses to their unit.
#include "platform/audiounit/AUAudioUnitBus.h"

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/AudioBufferList.h"

#include <cmath>
#include <utility>

std::optional<AUError> AUAudioUnitBus::unsupported(const AudioFormat& format) {
  if (!format.isStandard())
    return AUError{kAudioUnitErr_FormatNotSupported,
                   "busses carry 32-bit float non-interleaved audio, not " + format.description()};
  if (format.channelCount < 1 || format.channelCount > AudioBufferList::kMaxBuffers)
    return AUError{kAudioUnitErr_FormatNotSupported,
                   "busses carry 1 to 16 channels, not " + format.description()};
  if (!(std::isfinite(format.sampleRate) && format.sampleRate > 0 &&
        format.sampleRate <= kMaxSampleRate))
    return AUError{kAudioUnitErr_FormatNotSupported,
                   "unsupported sample rate in " + format.description()};
  return std::nullopt;
}

AUResult<std::shared_ptr<AUAudioUnitBus>> AUAudioUnitBus::create(const AudioFormat& format) {
  if (auto error = unsupported(format))
    return *error;
  return std::shared_ptr<AUAudioUnitBus>(new AUAudioUnitBus(format));
}

AUResult<void> AUAudioUnitBus::setFormat(const AudioFormat& format) {
  if (ownerAllocated_ && ownerAllocated_->load(std::memory_order_relaxed))
    return AUError{kAudioUnitErr_Initialized,
                   "a bus format cannot change while render resources are allocated"};
  if (auto error = unsupported(format))
    return *error;
  format_ = format;
  return {};
}

AUAudioUnitBusArray::AUAudioUnitBusArray(AUAudioUnit& owner, AUAudioUnitBusType type,
                                         std::vector<std::shared_ptr<AUAudioUnitBus>> busses)
    : type_(type), busses_(std::move(busses)), ownerAllocated_(owner.allocationFlag()) {
  adopt();
}

AUResult<void>
AUAudioUnitBusArray::replaceBusses(std::vector<std::shared_ptr<AUAudioUnitBus>> busses) {
  if (ownerAllocated_->load(std::memory_order_relaxed))
    return AUError{kAudioUnitErr_Initialized,
                   "busses cannot change while render resources are allocated"};
  busses_ = std::move(busses);
  adopt();
  return {};
}

void AUAudioUnitBusArray::adopt() {
  std::erase(busses_, nullptr);
  for (const auto& bus : busses_)
    bus->ownerAllocated_ = ownerAllocated_;
}
