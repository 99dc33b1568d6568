// The engine pulled from a JUCE audio device's callback.
#include "app/device/DeviceAudioOutput.h"

#include <algorithm>
#include <cstring>

namespace app {

namespace {

constexpr double kRateWithoutDevice = 44100.0;
constexpr AUAudioFrameCount kFramesWithoutDevice = 512;
constexpr std::uint32_t kChannels = 2;

} // namespace

DeviceAudioOutput::DeviceAudioOutput() = default;

DeviceAudioOutput::~DeviceAudioOutput() {
  stop();
  manager_.closeAudioDevice();
}

std::string DeviceAudioOutput::open(const AudioDeviceChoice& choice) {
  openError_ = openAudioDevice(manager_, choice);
  return openError_;
}

std::optional<AudioDeviceChoice> DeviceAudioOutput::currentDevice() const {
  auto* device = manager_.getCurrentAudioDevice();
  if (device == nullptr)
    return std::nullopt;
  return AudioDeviceChoice{device->getTypeName().toStdString(), device->getName().toStdString()};
}

AudioFormat DeviceAudioOutput::format() const {
  auto* device = manager_.getCurrentAudioDevice();
  const double rate = device != nullptr ? device->getCurrentSampleRate() : kRateWithoutDevice;
  return AudioFormat::standard(rate > 0.0 ? rate : kRateWithoutDevice, kChannels);
}

AUAudioFrameCount DeviceAudioOutput::maximumFramesPerPull() const {
  auto* device = manager_.getCurrentAudioDevice();
  const int frames = device != nullptr ? device->getCurrentBufferSizeSamples() : 0;
  return frames > 0 ? static_cast<AUAudioFrameCount>(frames) : kFramesWithoutDevice;
}

AUResult<void> DeviceAudioOutput::start(AudioEnginePull pull) {
  if (manager_.getCurrentAudioDevice() == nullptr)
    return AUError{kAudioUnitErr_FailedInitialization, openError_};
  stop();
  pull_ = std::move(pull);
  engineSampleRate_ = format().sampleRate;
  sampleTime_ = 0.0;
  // JUCE hands the callback over under its device lock, which publishes pull_ to the device
  // thread, and calls audioDeviceAboutToStart first.
  manager_.addAudioCallback(this);
  return {};
}

void DeviceAudioOutput::stop() {
  // Returns only once no callback runs.
  manager_.removeAudioCallback(this);
  pull_ = nullptr;
}

bool DeviceAudioOutput::formatChangedSinceStart() const {
  return pull_ != nullptr && !rateMatches_.load(std::memory_order_relaxed);
}

void DeviceAudioOutput::audioDeviceAboutToStart(juce::AudioIODevice* device) {
  rateMatches_.store(device != nullptr && device->getCurrentSampleRate() == engineSampleRate_,
                     std::memory_order_relaxed);
}

void DeviceAudioOutput::audioDeviceStopped() {}

void DeviceAudioOutput::audioDeviceIOCallbackWithContext(
    const float* const*, int, float* const* outputChannelData, int numOutputChannels,
    int numSamples, const juce::AudioIODeviceCallbackContext&) {
  const auto frames = static_cast<std::uint32_t>(std::max(numSamples, 0));
  const auto channels = static_cast<std::uint32_t>(std::max(numOutputChannels, 0));
  const std::uint32_t fed = std::min(channels, kChannels);
  bool rendered = false;
  // Until the engine is restarted for a new device rate, the units would play at the wrong
  // pitch: silence instead.
  if (fed > 0 && pull_ && rateMatches_.load(std::memory_order_relaxed)) {
    AudioBufferList list = AudioBufferList::forChannels(outputChannelData, fed, frames);
    const AudioTimeStamp timestamp = AudioTimeStamp::withSampleTime(sampleTime_);
    rendered = pull_(timestamp, frames, list) == noErr;
    sampleTime_ += frames;
  }
  for (std::uint32_t c = rendered ? fed : 0; c < channels; ++c)
    if (outputChannelData[c] != nullptr)
      std::memset(outputChannelData[c], 0, frames * sizeof(float));
}

} // namespace app
