// A unit's input or output bus (its format) and the array of busses of one direction.
#pragma once

#include "platform/audiounit/AUError.h"
#include "platform/audiounit/AudioFormat.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AUAudioUnit;

enum class AUAudioUnitBusType { input = 1, output = 2 };

// Threads: main or control thread only (the render thread reads the format the unit copied
// at allocation, never the bus).
class AUAudioUnitBus {
public:
  // Busses carry the standard format (32-bit float, non-interleaved) with 1 ... 16 channels
  // and a finite sample rate above 0 and at most this.
  static constexpr double kMaxSampleRate = 1'000'000.0;

  // A bus with this format; kAudioUnitErr_FormatNotSupported for any other format.
  static AUResult<std::shared_ptr<AUAudioUnitBus>> create(const AudioFormat& format);

  // Why a bus cannot carry the format; nothing when it can.
  static std::optional<AUError> unsupported(const AudioFormat& format);

  const AudioFormat& format() const noexcept { return format_; }
  // Refused with kAudioUnitErr_Initialized while the owning unit's render resources are
  // allocated, and with kAudioUnitErr_FormatNotSupported for a format no bus carries; the
  // format is then unchanged.
  AUResult<void> setFormat(const AudioFormat& format);

  const std::string& name() const noexcept { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  AUAudioUnitBus(const AUAudioUnitBus&) = delete;
  AUAudioUnitBus& operator=(const AUAudioUnitBus&) = delete;

private:
  friend class AUAudioUnitBusArray;
  explicit AUAudioUnitBus(const AudioFormat& format) : format_(format) {}

  AudioFormat format_;
  std::string name_;
  // The owning unit's "render resources allocated" flag; null before the bus joins an array.
  std::shared_ptr<const std::atomic<bool>> ownerAllocated_;
};

// Threads: main or control thread only.
class AUAudioUnitBusArray {
public:
  // The busses join owner: their formats can no longer change while it is allocated.
  AUAudioUnitBusArray(AUAudioUnit& owner, AUAudioUnitBusType type,
                      std::vector<std::shared_ptr<AUAudioUnitBus>> busses = {});

  AUAudioUnitBusType busType() const noexcept { return type_; }
  std::size_t count() const noexcept { return busses_.size(); }
  bool empty() const noexcept { return busses_.empty(); }
  // index < count().
  AUAudioUnitBus& operator[](std::size_t index) const { return *busses_[index]; }
  const std::shared_ptr<AUAudioUnitBus>& bus(std::size_t index) const { return busses_[index]; }

  // Refused with kAudioUnitErr_Initialized while the owner is allocated.
  AUResult<void> replaceBusses(std::vector<std::shared_ptr<AUAudioUnitBus>> busses);

private:
  void adopt();

  AUAudioUnitBusType type_;
  std::vector<std::shared_ptr<AUAudioUnitBus>> busses_;
  std::shared_ptr<const std::atomic<bool>> ownerAllocated_;
};
