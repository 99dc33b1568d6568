// The audio unit behind a JUCE processor: busses, rendering, programs and state.
#include "plugins/adapter/UnitProcessor.h"

#include "plugins/adapter/UnitEditor.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

namespace plugins {

namespace {

juce::AudioChannelSet channelSetOf(const AUAudioUnitBus& bus) {
  return juce::AudioChannelSet::canonicalChannelSet(static_cast<int>(bus.format().channelCount));
}

} // namespace

juce::AudioProcessor::BusesProperties UnitProcessor::bussesOf(AUAudioUnit& unit) {
  BusesProperties busses;
  for (std::size_t i = 0; i < unit.inputBusses().count(); ++i)
    busses = busses.withInput("Input " + juce::String(i + 1), channelSetOf(unit.inputBusses()[i]));
  for (std::size_t i = 0; i < unit.outputBusses().count(); ++i)
    busses =
        busses.withOutput("Output " + juce::String(i + 1), channelSetOf(unit.outputBusses()[i]));
  return busses;
}

namespace {

// How long a host may take to send back what the plug-in announced before a restore: JUCE's
// own host does so with the next block, Ardour about a second later.
constexpr double kRelaySeconds = 10.0;

bool takesMidi(const AUAudioUnit& unit) {
  const OSType type = unit.componentDescription().componentType;
  return type == kAudioUnitType_MusicDevice || type == kAudioUnitType_MusicEffect ||
         type == kAudioUnitType_MIDIProcessor;
}

} // namespace

UnitProcessor::UnitProcessor(std::shared_ptr<AUAudioUnit> unit, juce::String name,
                             UnitEditorOptions editor, std::optional<bool> midiInput)
    : juce::AudioProcessor(bussesOf(*unit)), unit_(std::move(unit)), name_(std::move(name)),
      acceptsMidi_(midiInput.value_or(takesMidi(*unit_))),
      passesMidi_(acceptsMidi_ &&
                  unit_->componentDescription().componentType == kAudioUnitType_MIDIProcessor),
      editorOptions_(std::move(editor)), editorWidth_(editorOptions_.defaultWidth),
      editorHeight_(editorOptions_.defaultHeight), parameters_(*this, unit_->parameterTree()),
      presets_(unit_->factoryPresets()), events_(parameters_.size() + kMidiEventCapacity),
      midiOutput_(kMidiOutputCapacity), render_(unit_->renderBlock()) {}

UnitProcessor::~UnitProcessor() {
  releaseResources();
  // The blocks point at this processor; the unit must not keep them.
  unit_->setMIDIOutputEventBlock(nullptr);
  unit_->setMusicalContextBlock(nullptr);
  unit_->setTransportStateBlock(nullptr);
}

bool UnitProcessor::isBusesLayoutSupported(const BusesLayout& layout) const {
  const auto matches = [](const juce::Array<juce::AudioChannelSet>& sets,
                          AUAudioUnitBusArray& busses) {
    if (static_cast<std::size_t>(sets.size()) != busses.count())
      return false;
    for (int i = 0; i < sets.size(); ++i)
      if (sets[i].size() !=
          static_cast<int>(busses[static_cast<std::size_t>(i)].format().channelCount))
        return false;
    return true;
  };
  return matches(layout.inputBuses, unit_->inputBusses()) &&
         matches(layout.outputBuses, unit_->outputBusses());
}

bool UnitProcessor::acceptsMidi() const { return acceptsMidi_; }

bool UnitProcessor::isMidiEffect() const {
  return unit_->componentDescription().componentType == kAudioUnitType_MIDIProcessor;
}

void UnitProcessor::prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) {
  releaseResources();
  auto& outputs = unit_->outputBusses();
  for (std::size_t i = 0; i < outputs.count(); ++i)
    (void)outputs[i].setFormat(AudioFormat::standard(sampleRate, outputs[i].format().channelCount));
  unit_->setMaximumFramesToRender(
      static_cast<AUAudioFrameCount>(std::max(1, maximumExpectedSamplesPerBlock)));
  unit_->setMIDIOutputEventBlock(
      [this](AUEventSampleTime time, std::uint8_t, int length, const std::uint8_t* bytes) {
        midiOutput_.add(time, length, bytes);
        return noErr;
      });
  unit_->setMusicalContextBlock([this](double* tempo, double* numerator, long* denominator,
                                       double* beat, long* toNextBeat, double* downbeat) {
    return playHead_.musicalContext(tempo, numerator, denominator, beat, toNextBeat, downbeat);
  });
  unit_->setTransportStateBlock([this](AUHostTransportStateFlags* flags, double* position,
                                       double* cycleStart, double* cycleEnd) {
    return playHead_.transportState(flags, position, cycleStart, cycleEnd);
  });
  playHead_.prepare(sampleRate);
  midiOutput_.clear();
  sampleTime_ = 0;
  if (unit_->allocateRenderResources())
    maximumFrames_ = static_cast<int>(unit_->maximumFramesToRender());
  setLatencySamples(static_cast<int>(std::lround(unit_->latency() * sampleRate)));
}

void UnitProcessor::releaseResources() {
  maximumFrames_ = 0;
  if (unit_->renderResourcesAllocated())
    unit_->deallocateRenderResources();
}

void UnitProcessor::reset() {
  unit_->reset();
  playHead_.forget();
}

void UnitProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) {
  const int total = buffer.getNumSamples();
  if (maximumFrames_ == 0) { // not prepared, or the unit refused
    buffer.clear();
    midi.clear();
    return;
  }
  auto* playHead = getPlayHead();
  follow(playHead_,
         playHead ? playHead->getPosition() : juce::Optional<juce::AudioPlayHead::PositionInfo>{});
  const AUEventSampleTime blockStart = sampleTime_;
  // A host block longer than prepared is rendered in slices the unit accepts.
  for (int start = 0; start < total; start += maximumFrames_) {
    const int frames = std::min(maximumFrames_, total - start);
    renderSlice(buffer, midi, start, frames, start == 0);
    sampleTime_ += frames;
    playHead_.advance(frames);
  }
  if (!passesMidi_)
    midi.clear();
  // A message goes in after those already at its position: the incoming ones stay first.
  midiOutput_.writeDue(midi, blockStart, total);
  forgetSupersededAfter(total);
}

void UnitProcessor::forgetSupersededAfter(int frames) noexcept {
  std::int64_t left = framesUntilForgotten_.load(std::memory_order_relaxed);
  if (left <= 0 || !framesUntilForgotten_.compare_exchange_strong(left, left - frames,
                                                                  std::memory_order_relaxed))
    return;
  if (left <= frames) {
    parameters_.forgetSuperseded();
    supersededProgram_.store(-1, std::memory_order_relaxed);
  }
}

void UnitProcessor::renderSlice(juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi,
                                int start, int frames, bool firstSlice) noexcept {
  events_.clear();
  if (firstSlice)
    parameters_.addPendingEvents(events_, sampleTime_);
  const int last = buffer.getNumSamples() - 1;
  for (const auto message : midi) {
    const int position = std::clamp(message.samplePosition, 0, last);
    if (position >= start && position < start + frames)
      events_.addMIDI(sampleTime_ + (position - start), 0, message.data, message.numBytes);
  }
  float* channels[AudioBufferList::kMaxBuffers] = {};
  const auto count = static_cast<std::uint32_t>(
      std::min<int>(buffer.getNumChannels(), static_cast<int>(AudioBufferList::kMaxBuffers)));
  for (std::uint32_t c = 0; c < count; ++c)
    channels[c] = buffer.getWritePointer(static_cast<int>(c), start);
  AudioBufferList list =
      AudioBufferList::forChannels(channels, count, static_cast<std::uint32_t>(frames));
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(static_cast<double>(sampleTime_));
  if (render_(&flags, &stamp, static_cast<AUAudioFrameCount>(frames), 0, &list, events_.head(),
              pullInput_) != noErr)
    for (std::uint32_t c = 0; c < count; ++c)
      std::fill(channels[c], channels[c] + frames, 0.0f);
}

juce::AudioProcessorEditor* UnitProcessor::createEditor() {
  if (editorOptions_.make)
    if (auto content = editorOptions_.make(unit_))
      return new UnitEditor(*this, std::move(content), editorOptions_);
  return new juce::GenericAudioProcessorEditor(*this);
}

juce::Point<int> UnitProcessor::editorSize() const noexcept {
  return {editorWidth_.load(std::memory_order_relaxed),
          editorHeight_.load(std::memory_order_relaxed)};
}

void UnitProcessor::setEditorSize(int width, int height) noexcept {
  if (!editorOptions_.fits(width, height))
    return;
  editorWidth_.store(width, std::memory_order_relaxed);
  editorHeight_.store(height, std::memory_order_relaxed);
}

int UnitProcessor::getNumPrograms() { return std::max(1, static_cast<int>(presets_.size())); }

int UnitProcessor::getCurrentProgram() {
  const auto current = unit_->currentPreset();
  if (!current)
    return 0;
  if (current->number >= 0 && current->number < static_cast<long>(presets_.size()))
    return static_cast<int>(current->number);
  // A restored state: the program it was made from, by name.
  const auto named = std::find_if(presets_.begin(), presets_.end(),
                                  [&](const auto& preset) { return preset.name == current->name; });
  return named != presets_.end() ? static_cast<int>(named - presets_.begin()) : 0;
}

void UnitProcessor::setCurrentProgram(int index) {
  if (index < 0 || index >= static_cast<int>(presets_.size()))
    return;
  if (index == supersededProgram_.exchange(-1, std::memory_order_relaxed))
    return; // the host relaying a choice a restored state replaced
  requestedProgram_.store(index, std::memory_order_relaxed);
  parameters_.dropPending(); // the preset sets every value
  unit_->setCurrentPreset(presets_[static_cast<std::size_t>(index)]);
  updateHostDisplay(ChangeDetails().withProgramChanged(true));
}

const juce::String UnitProcessor::getProgramName(int index) {
  if (index < 0 || index >= static_cast<int>(presets_.size()))
    return {};
  return juce::String(presets_[static_cast<std::size_t>(index)].name);
}

void UnitProcessor::getStateInformation(juce::MemoryBlock& destination) {
  parameters_.applyPending(); // a change the host made since the last block is part of it
  auto state = unit_->fullState();
  if (state && state->dictionary() && editorOptions_.make) {
    const auto size = editorSize();
    (*state->dictionary())[kEditorSizeKey] = foundation::PropertyList(
        foundation::PropertyList::Dictionary{{"width", foundation::PropertyList(size.x)},
                                             {"height", foundation::PropertyList(size.y)}});
  }
  const std::string xml = state ? state->toXML() : std::string();
  destination.replaceAll(xml.data(), xml.size());
}

void UnitProcessor::setStateInformation(const void* data, int size) {
  if (!data || size <= 0)
    return;
  auto parsed = foundation::PropertyList::read(
      std::span(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)));
  // Malformed data leaves the unit as it is.
  if (!parsed.value || !parsed.value->dictionary())
    return;
  parameters_.dropPending(); // the state sets every value
  parameters_.supersedeAnnounced();
  supersededProgram_.store(requestedProgram_.exchange(-1, std::memory_order_relaxed),
                           std::memory_order_relaxed);
  const double rate = getSampleRate() > 0 ? getSampleRate() : 48000.0;
  framesUntilForgotten_.store(static_cast<std::int64_t>(kRelaySeconds * rate),
                              std::memory_order_relaxed);
  // The editor's size, when the state has one (states saved before it was kept have none).
  if (const foundation::PropertyList* size = parsed.value->find(kEditorSizeKey)) {
    const auto* width = size->find("width");
    const auto* height = size->find("height");
    if (width && height && width->integer() && height->integer() && *width->integer() < (1 << 20) &&
        *height->integer() < (1 << 20))
      setEditorSize(static_cast<int>(*width->integer()), static_cast<int>(*height->integer()));
    parsed.value->dictionary()->erase(kEditorSizeKey);
  }
  const foundation::PropertyList* name = parsed.value->find("name");
  std::optional<AUAudioUnitPreset> preset;
  if (name && name->string())
    preset = AUAudioUnitPreset{-1, *name->string()};
  unit_->setFullState(std::move(parsed.value));
  // As a unit host restores one: the state's own preset, whose values it holds, current.
  unit_->setCurrentPreset(preset);
}

} // namespace plugins
