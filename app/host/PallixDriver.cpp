// The demo driver: set-up, the render of each cycle, All Notes Off and teardown.
#include "app/host/PallixDriver.h"

#include "app/host/Demo.h"
#include "app/host/DemoHostAnswers.h"

#include <algorithm>

namespace app {

namespace {

constexpr auto relaxed = std::memory_order_relaxed;
constexpr int kMIDIChannels = 16;
constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kAllNotesOff = 123;

AUError errorOf(PallixDriverError error) {
  switch (error) {
  case PallixDriverError::quorvaneNotReadyForMIDI:
    break;
  }
  return AUError{kAudioUnitErr_NoConnection,
                 "the synthesiser offers no MIDI schedule entry (quorvaneNotReadyForMIDI)"};
}

void applyDemoConfiguration(const AUAudioUnit& pallix) {
  const auto tree = pallix.parameterTree();
  if (!tree)
    return;
  for (const auto& parameter : tree->allParameters())
    for (const DemoSetting& setting : kDemoConfiguration)
      if (parameter->identifier() == setting.identifier)
        parameter->setValue(setting.value);
}

} // namespace

AUResult<std::shared_ptr<PallixDriver>> PallixDriver::create(std::shared_ptr<AUAudioUnit> pallix,
                                                             const AudioFormat& format,
                                                             AUAudioUnit& synth) {
  std::shared_ptr<PallixDriver> driver(new PallixDriver(std::move(pallix)));
  if (auto result = driver->setUp(format, synth); !result)
    return result.error(); // the destructor releases what was acquired
  return driver;
}

PallixDriver::PallixDriver(std::shared_ptr<AUAudioUnit> pallix) : pallix_(std::move(pallix)) {}

AUResult<void> PallixDriver::setUp(const AudioFormat& format, AUAudioUnit& synth) {
  scheduleMIDI_ = synth.scheduleMIDIEventBlock();
  if (!scheduleMIDI_)
    return errorOf(PallixDriverError::quorvaneNotReadyForMIDI);
  state_ = std::make_shared<State>(format.sampleRate);
  applyDemoConfiguration(*pallix_);

  // The generator copies its host callbacks when it allocates, so they come first.
  pallix_->setMIDIOutputEventBlock(
      [schedule = scheduleMIDI_](AUEventSampleTime time, std::uint8_t cable, int length,
                                 const std::uint8_t* bytes) -> OSStatus {
        schedule(time, cable, length, bytes);
        return noErr;
      });
  pallix_->setMusicalContextBlock(musicalContextBlockFor(state_));
  pallix_->setTransportStateBlock(transportStateBlockFor(state_));

  if (pallix_->outputBusses().empty())
    return AUError{kAudioUnitErr_InvalidElement, "the generator has no output bus"};
  if (auto result = pallix_->outputBusses()[0].setFormat(format); !result)
    return result;
  if (auto result = pallix_->allocateRenderResources(); !result)
    return result;
  allocated_ = true;

  renderBlock_ = pallix_->renderBlock();
  maxFrames_ = pallix_->maximumFramesToRender();
  channels_ = std::min(format.channelCount, AudioBufferList::kMaxBuffers);
  bufferData_.resize(channels_);
  bufferList_.mNumberBuffers = channels_;
  for (std::uint32_t c = 0; c < channels_; ++c) {
    bufferData_[c].resize(maxFrames_);
    bufferList_.mBuffers[c] = {1, maxFrames_ * std::uint32_t(sizeof(float)), bufferData_[c].data()};
  }
  return {};
}

PallixDriver::~PallixDriver() {
  if (allocated_)
    pallix_->deallocateRenderResources();
}

void PallixDriver::render(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount) noexcept {
  const double t = timestamp.mSampleTime;
  if (state_->isPlaying.load(relaxed) && state_->transportStartSample.load(relaxed) < 0.0)
    state_->transportStartSample.store(t, relaxed); // the first rendered sample is beat 0

  for (AUAudioFrameCount offset = 0; offset < frameCount;) {
    const AUAudioFrameCount frames = std::min(maxFrames_, frameCount - offset);
    AudioTimeStamp slice = timestamp;
    slice.mSampleTime = t + offset;
    // The context answers describe the slice the generator is rendering.
    state_->currentSampleTime.store(slice.mSampleTime, relaxed);
    for (std::uint32_t c = 0; c < channels_; ++c)
      bufferList_.mBuffers[c].mDataByteSize = frames * std::uint32_t(sizeof(float));
    AudioUnitRenderActionFlags flags = 0;
    // A failed render only loses this slice's MIDI.
    renderBlock_(&flags, &slice, frames, 0, &bufferList_, nullptr, noInput_);
    offset += frames;
  }
}

void PallixDriver::allNotesOff() const {
  for (int channel = 0; channel < kMIDIChannels; ++channel) {
    const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(kControlChange + channel),
                                   kAllNotesOff, 0};
    scheduleMIDI_(AUEventSampleTimeImmediate, 0, 3, bytes);
  }
}

} // namespace app
