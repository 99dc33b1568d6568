// An audio graph: units attached and connected to a main mixer, whose mix an output pulls.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/AudioOutput.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

// The node every source is connected to: it sums its inputs into the output's channels (a
// mono source feeds every channel; otherwise channel i feeds channel i) and scales the sum.
class AudioMixerNode {
public:
  // Any thread; takes effect at the next render call.
  float outputVolume() const noexcept { return volume_->load(std::memory_order_relaxed); }
  void setOutputVolume(float volume) noexcept { volume_->store(volume, std::memory_order_relaxed); }

private:
  friend class AudioEngine;
  AudioMixerNode() = default;
  std::shared_ptr<std::atomic<float>> volume_ = std::make_shared<std::atomic<float>>(1.0f);
};

// Threads: every member on the main or a control thread. While running, the output pulls the
// graph on its render thread; graph changes (connect, disconnect, detach, setOutput) are
// refused then (kAudioUnitErr_CannotDoInCurrentContext).
class AudioEngine {
public:
  AudioEngine();
  ~AudioEngine(); // stops
  AudioEngine(const AudioEngine&) = delete;
  AudioEngine& operator=(const AudioEngine&) = delete;

  // Attaching a unit twice changes nothing.
  void attach(std::shared_ptr<AUAudioUnit> unit);
  // Disconnects and forgets the unit.
  AUResult<void> detach(const std::shared_ptr<AUAudioUnit>& unit);
  std::vector<std::shared_ptr<AUAudioUnit>> attachedUnits() const;

  AudioMixerNode& mainMixer() noexcept { return mainMixer_; }

  // Connects an attached unit's output bus 0 to the mixer with format, or, when none is
  // given, with the bus's current format. At start the engine gives the bus this format with
  // the output's sample rate. Errors: a unit that is not attached or has no output bus, another
  // engine's mixer, or a format no bus carries.
  AUResult<void> connect(const std::shared_ptr<AUAudioUnit>& source, AudioMixerNode& destination,
                         std::optional<AudioFormat> format = std::nullopt);
  AUResult<void> disconnect(const std::shared_ptr<AUAudioUnit>& source);
  // The format of the unit's connection, or nothing when it is not connected.
  std::optional<AudioFormat> connectionFormat(const AUAudioUnit& source) const;

  AUResult<void> setOutput(std::shared_ptr<AudioOutput> output);
  const std::shared_ptr<AudioOutput>& output() const noexcept { return output_; }

  // For every connected unit: output bus 0 takes the connection's format at the output's sample
  // rate, maximumFramesToRender the output's maximumFramesPerPull, and render resources are
  // allocated; then the output starts pulling. Any error (no output, a format refused, an
  // allocation or the output failing) comes back unchanged, with every unit allocated so far
  // deallocated again. Starting a running engine changes nothing.
  AUResult<void> start();
  // Stops the output (no pull runs after this returns) and deallocates the units' resources.
  void stop();
  bool isRunning() const noexcept { return running_; }

private:
  struct Node {
    std::shared_ptr<AUAudioUnit> unit;
    std::optional<AudioFormat> connection;
  };
  struct Renderer;

  Node* find(const AUAudioUnit& unit);
  const Node* find(const AUAudioUnit& unit) const;
  void deallocate(const std::vector<std::shared_ptr<AUAudioUnit>>& units);

  AudioMixerNode mainMixer_;
  std::vector<Node> nodes_;
  std::shared_ptr<AudioOutput> output_;
  std::vector<std::shared_ptr<AUAudioUnit>> allocated_;
  bool running_ = false;
};
