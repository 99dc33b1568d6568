// The engine's output on the sound card: a JUCE audio device (JACK or ALSA) that pulls the mix.
#pragma once

#include "app/device/AudioDeviceChoice.h"
#include "platform/audiounit/AudioOutput.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>
#include <string>

namespace app {

// Threads: construction, open, format, start, stop and the device manager on the message
// thread. Between start and stop the device's thread pulls the engine; the callback neither
// allocates nor locks (JUCE's device lock is taken by JUCE around it, not by us).
class DeviceAudioOutput final : public AudioOutput, private juce::AudioIODeviceCallback {
public:
  DeviceAudioOutput();
  ~DeviceAudioOutput() override;
  DeviceAudioOutput(const DeviceAudioOutput&) = delete;
  DeviceAudioOutput& operator=(const DeviceAudioOutput&) = delete;

  // Opens the device the choice names (see AudioDeviceChoice). Empty on success; otherwise
  // the reason, which start() then reports.
  std::string open(const AudioDeviceChoice& choice);
  // The device now open, or nothing.
  std::optional<AudioDeviceChoice> currentDevice() const;

  // The device's sample rate and stereo; 44100 Hz when no device is open.
  AudioFormat format() const override;
  // The device's buffer size; larger callbacks are sliced by the engine anyway.
  AUAudioFrameCount maximumFramesPerPull() const override;
  AUResult<void> start(AudioEnginePull pull) override;
  void stop() override;

  // True when the running engine was prepared for another sample rate than the device's (the
  // device was changed in the settings dialog): the engine must be restarted. Message thread.
  bool formatChangedSinceStart() const;

  juce::AudioDeviceManager& deviceManager() noexcept { return manager_; }

private:
  void audioDeviceIOCallbackWithContext(const float* const* inputChannelData, int numInputChannels,
                                        float* const* outputChannelData, int numOutputChannels,
                                        int numSamples,
                                        const juce::AudioIODeviceCallbackContext& context) override;
  void audioDeviceAboutToStart(juce::AudioIODevice* device) override;
  void audioDeviceStopped() override;

  juce::AudioDeviceManager manager_;
  std::string openError_ = "no audio output device is open";
  AudioEnginePull pull_; // set before the callback is added, cleared after it is removed
  double engineSampleRate_ = 0.0;
  // Render thread: frames pulled since start. Device thread and message thread: whether the
  // device's rate is the engine's.
  double sampleTime_ = 0.0;
  std::atomic<bool> rateMatches_{false};
};

} // namespace app
