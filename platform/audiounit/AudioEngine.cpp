// The audio graph: connections, start and stop, and the pull that mixes the units.
#include "platform/audiounit/AudioEngine.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
AUError busyError() {
  return AUError{kAudioUnitErr_CannotDoInCurrentContext,
                 "the graph cannot change while the engine is running"};
}
} // namespace

// The render side, built at start and then only read: one render block and scratch buffer
// per connected unit.
struct AudioEngine::Renderer {
  struct Source {
    AURenderBlock block;
    std::uint32_t channels = 0;
    std::vector<float> storage; // channels x chunk
  };

  std::vector<Source> sources;
  AUAudioFrameCount chunk = 1;
  std::shared_ptr<std::atomic<float>> volume;
  AURenderPullInputBlock noInput;

  OSStatus pull(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount,
                AudioBufferList& output) noexcept {
    const std::uint32_t outputs = std::min(output.mNumberBuffers, AudioBufferList::kMaxBuffers);
    for (std::uint32_t o = 0; o < outputs; ++o)
      if (output.mBuffers[o].mData != nullptr)
        std::memset(output.mBuffers[o].mData, 0,
                    std::min<std::size_t>(output.mBuffers[o].mDataByteSize,
                                          std::size_t{frameCount} * sizeof(float)));
    const float gain = volume->load(std::memory_order_relaxed);
    OSStatus firstError = noErr;
    for (AUAudioFrameCount offset = 0; offset < frameCount;) {
      const AUAudioFrameCount frames = std::min(chunk, frameCount - offset);
      AudioTimeStamp stamp = timestamp;
      stamp.mSampleTime += offset;
      for (Source& source : sources) {
        AudioBufferList list;
        list.mNumberBuffers = source.channels;
        for (std::uint32_t c = 0; c < source.channels; ++c)
          list.mBuffers[c] = {1, frames * std::uint32_t(sizeof(float)),
                              source.storage.data() + std::size_t{c} * chunk};
        AudioUnitRenderActionFlags flags = 0;
        const OSStatus status = source.block(&flags, &stamp, frames, 0, &list, nullptr, noInput);
        if (status != noErr) {
          if (firstError == noErr)
            firstError = status;
          continue;
        }
        mix(list, source.channels, output, outputs, offset, frames, gain);
      }
      offset += frames;
    }
    return firstError;
  }

  static void mix(const AudioBufferList& from, std::uint32_t channels, AudioBufferList& to,
                  std::uint32_t outputs, AUAudioFrameCount offset, AUAudioFrameCount frames,
                  float gain) noexcept {
    channels = std::min(channels, from.mNumberBuffers);
    for (std::uint32_t o = 0; o < outputs; ++o) {
      const std::uint32_t c = channels == 1 ? 0 : o;
      float* destination = to.channel(o);
      const float* source = c < channels ? from.channel(c) : nullptr;
      if (destination == nullptr || source == nullptr ||
          std::size_t{offset + frames} * sizeof(float) > to.mBuffers[o].mDataByteSize)
        continue;
      destination += offset;
      for (AUAudioFrameCount i = 0; i < frames; ++i)
        destination[i] += gain * source[i];
    }
  }
};

AudioEngine::AudioEngine() = default;

AudioEngine::~AudioEngine() { stop(); }

AudioEngine::Node* AudioEngine::find(const AUAudioUnit& unit) {
  for (auto& node : nodes_)
    if (node.unit.get() == &unit)
      return &node;
  return nullptr;
}

const AudioEngine::Node* AudioEngine::find(const AUAudioUnit& unit) const {
  return const_cast<AudioEngine*>(this)->find(unit);
}

void AudioEngine::attach(std::shared_ptr<AUAudioUnit> unit) {
  if (unit && !find(*unit))
    nodes_.push_back({std::move(unit), std::nullopt});
}

AUResult<void> AudioEngine::detach(const std::shared_ptr<AUAudioUnit>& unit) {
  if (running_)
    return busyError();
  std::erase_if(nodes_, [&](const Node& node) { return node.unit == unit; });
  return {};
}

std::vector<std::shared_ptr<AUAudioUnit>> AudioEngine::attachedUnits() const {
  std::vector<std::shared_ptr<AUAudioUnit>> units;
  for (const auto& node : nodes_)
    units.push_back(node.unit);
  return units;
}

AUResult<void> AudioEngine::connect(const std::shared_ptr<AUAudioUnit>& source,
                                    AudioMixerNode& destination,
                                    std::optional<AudioFormat> format) {
  if (running_)
    return busyError();
  if (&destination != &mainMixer_)
    return AUError{kAudioUnitErr_InvalidParameter, "the mixer belongs to another engine"};
  Node* node = source ? find(*source) : nullptr;
  if (node == nullptr)
    return AUError{kAudioUnitErr_InvalidParameter, "only attached units can be connected"};
  if (!format) {
    if (source->outputBusses().empty())
      return AUError{kAudioUnitErr_InvalidElement, "the unit has no output bus"};
    format = source->outputBusses()[0].format();
  }
  if (auto error = AUAudioUnitBus::unsupported(*format))
    return *error;
  node->connection = format;
  return {};
}

AUResult<void> AudioEngine::disconnect(const std::shared_ptr<AUAudioUnit>& source) {
  if (running_)
    return busyError();
  if (Node* node = source ? find(*source) : nullptr)
    node->connection.reset();
  return {};
}

std::optional<AudioFormat> AudioEngine::connectionFormat(const AUAudioUnit& source) const {
  const Node* node = find(source);
  return node ? node->connection : std::nullopt;
}

AUResult<void> AudioEngine::setOutput(std::shared_ptr<AudioOutput> output) {
  if (running_)
    return busyError();
  output_ = std::move(output);
  return {};
}

void AudioEngine::deallocate(const std::vector<std::shared_ptr<AUAudioUnit>>& units) {
  for (const auto& unit : units)
    unit->deallocateRenderResources();
}

AUResult<void> AudioEngine::start() {
  if (running_)
    return {};
  if (!output_)
    return AUError{kAudioUnitErr_NoConnection, "the engine has no output"};
  const AudioFormat outputFormat = output_->format();
  if (auto error = AUAudioUnitBus::unsupported(outputFormat))
    return *error;
  const AUAudioFrameCount maximumFrames =
      std::max<AUAudioFrameCount>(output_->maximumFramesPerPull(), 1);

  auto renderer = std::make_shared<Renderer>();
  renderer->volume = mainMixer_.volume_;
  renderer->chunk = maximumFrames;
  std::vector<std::shared_ptr<AUAudioUnit>> allocated;
  auto fail = [&](AUError error) -> AUResult<void> {
    deallocate(allocated);
    return error;
  };
  for (const Node& node : nodes_) {
    if (!node.connection)
      continue;
    AUAudioUnit& unit = *node.unit;
    if (unit.outputBusses().empty())
      return fail({kAudioUnitErr_InvalidElement, "a connected unit has no output bus"});
    AudioFormat format = *node.connection;
    format.sampleRate = outputFormat.sampleRate;
    if (unit.renderResourcesAllocated())
      unit.deallocateRenderResources(); // so that the bus may take the format
    if (auto result = unit.outputBusses()[0].setFormat(format); !result)
      return fail(result.error());
    unit.setMaximumFramesToRender(maximumFrames);
    if (auto result = unit.allocateRenderResources(); !result)
      return fail(result.error());
    allocated.push_back(node.unit);
    // A unit that keeps a smaller maximum is called with smaller pieces.
    renderer->chunk =
        std::max<AUAudioFrameCount>(1, std::min(renderer->chunk, unit.maximumFramesToRender()));
    renderer->sources.push_back({unit.renderBlock(), format.channelCount, {}});
  }
  for (auto& source : renderer->sources)
    source.storage.assign(std::size_t{source.channels} * renderer->chunk, 0.0f);

  auto started = output_->start(
      [renderer](const AudioTimeStamp& timestamp, AUAudioFrameCount frames,
                 AudioBufferList& output) { return renderer->pull(timestamp, frames, output); });
  if (!started)
    return fail(started.error());
  allocated_ = std::move(allocated);
  running_ = true;
  return {};
}

void AudioEngine::stop() {
  if (!running_)
    return;
  output_->stop();
  deallocate(allocated_);
  allocated_.clear();
  running_ = false;
}
