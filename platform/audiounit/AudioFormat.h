// The sample format of a bus or connection: sample rate, channels, sample type, layout.
#pragma once

#include <cstdint>
#include <string>

// Threads: a plain value; any thread.

enum class AudioCommonFormat : std::uint8_t { float32, float64, int16, int32 };

struct AudioFormat {
  double sampleRate = 44100.0;
  std::uint32_t channelCount = 2;
  AudioCommonFormat commonFormat = AudioCommonFormat::float32;
  bool interleaved = false;

  // The standard format: 32-bit float, one buffer per channel (non-interleaved).
  static AudioFormat standard(double sampleRate, std::uint32_t channelCount) noexcept {
    return {sampleRate, channelCount, AudioCommonFormat::float32, false};
  }

  bool isStandard() const noexcept {
    return commonFormat == AudioCommonFormat::float32 && !interleaved;
  }

  // "2 ch, 44100 Hz, Float32, deinterleaved"
  std::string description() const;

  bool operator==(const AudioFormat&) const = default;
};
