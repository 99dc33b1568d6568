// Runs into render calls, ports into events, the unit's MIDI into the output sequence.
#include "plugins/lv2/UnitInstance.h"

#include "plugins/lv2/Features.h"
#include "plugins/lv2/PositionReader.h"

#include <lv2/atom/util.h>
#include <lv2/options/options.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <cstring>

namespace plugins::lv2 {

namespace {

// The host's longest block, else its usual one, else our default.
std::uint32_t maximumFramesOf(const LV2_Options_Option* options, const Uris& uris) {
  std::int64_t maximum = 0, nominal = 0;
  for (auto o = options; o && (o->key != 0 || o->value); ++o) {
    if (o->context != LV2_OPTIONS_INSTANCE || !o->value)
      continue;
    std::int64_t value = 0;
    if (o->type == uris.atomInt && o->size == sizeof(std::int32_t))
      value = *static_cast<const std::int32_t*>(o->value);
    else if (o->type == uris.atomLong && o->size == sizeof(std::int64_t))
      value = *static_cast<const std::int64_t*>(o->value);
    if (o->key == uris.maxBlockLength)
      maximum = value;
    else if (o->key == uris.nominalBlockLength)
      nominal = value;
  }
  // A frame count a unit could not be prepared for is no answer.
  constexpr std::int64_t kLargest = 1 << 20;
  for (const std::int64_t frames : {maximum, nominal})
    if (frames > 0 && frames <= kLargest)
      return static_cast<std::uint32_t>(frames);
  return UnitInstance::kDefaultMaximumFrames;
}

} // namespace

std::unique_ptr<UnitInstance> UnitInstance::create(const PluginDefinition& definition,
                                                   double sampleRate,
                                                   const LV2_Feature* const* features) {
  const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
  if (!map || !(sampleRate > 0.0))
    return nullptr;
  auto unit = definition.make(nullptr);
  if (!unit)
    return nullptr;
  const auto* options =
      static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options));
  const std::uint32_t maximumFrames = maximumFramesOf(options, Uris(*map));
  const auto* schedule =
      static_cast<const LV2_Worker_Schedule*>(featureData(features, LV2_WORKER__schedule));
  return std::make_unique<UnitInstance>(definition, std::move(unit), sampleRate, maximumFrames,
                                        *map, schedule);
}

UnitInstance::UnitInstance(const PluginDefinition& definition, std::shared_ptr<AUAudioUnit> unit,
                           double sampleRate, std::uint32_t maximumFrames, const LV2_URID_Map& map,
                           const LV2_Worker_Schedule* schedule)
    : definition_(definition), layout_(definition.ports()), unit_(std::move(unit)), uris_(map),
      state_(definition, *unit_, map), controls_(definition, *unit_),
      extras_(definition.editorChangesExtras
                  ? std::make_unique<ExtrasExchange>(definition, *unit_, uris_, schedule)
                  : nullptr),
      events_(definition.parameters.size() + kMidiCapacity), sent_(kMidiCapacity),
      input_(kMidiCapacity), scratch_(definition.audioOutput ? 0 : 2 * maximumFrames),
      render_(unit_->renderBlock()), sampleRate_(sampleRate), maximumFrames_(maximumFrames) {
  LV2_URID_Map mapCopy = map;
  lv2_atom_forge_init(&forge_, &mapCopy);
  auto& outputs = unit_->outputBusses();
  for (std::size_t i = 0; i < outputs.count(); ++i)
    (void)outputs[i].setFormat(AudioFormat::standard(sampleRate, outputs[i].format().channelCount));
  unit_->setMaximumFramesToRender(maximumFrames);
  unit_->setMIDIOutputEventBlock(
      [this](AUEventSampleTime time, std::uint8_t, int length, const std::uint8_t* bytes) {
        sent_.add(time, length, bytes);
        return noErr;
      });
  unit_->setMusicalContextBlock([this](double* tempo, double* numerator, long* denominator,
                                       double* beat, long* toNextBeat, double* downbeat) {
    return transport_.musicalContext(tempo, numerator, denominator, beat, toNextBeat, downbeat);
  });
  unit_->setTransportStateBlock([this](AUHostTransportStateFlags* flags, double* position,
                                       double* cycleStart, double* cycleEnd) {
    return transport_.transportState(flags, position, cycleStart, cycleEnd);
  });
  transport_.prepare(sampleRate);
}

UnitInstance::~UnitInstance() {
  deactivate();
  // The blocks point at this instance; the unit must not keep them.
  unit_->setMIDIOutputEventBlock(nullptr);
  unit_->setMusicalContextBlock(nullptr);
  unit_->setTransportStateBlock(nullptr);
}

void UnitInstance::connect(std::uint32_t port, void* data) noexcept {
  if (port < layout_.parameters)
    controls_.connect(port, static_cast<const float*>(data));
  else if (port == layout_.eventsIn())
    eventsIn_ = static_cast<const LV2_Atom_Sequence*>(data);
  else if (layout_.audioOutput && port == layout_.left())
    left_ = static_cast<float*>(data);
  else if (layout_.audioOutput && port == layout_.right())
    right_ = static_cast<float*>(data);
  else if (!layout_.audioOutput && port == layout_.eventsOut())
    eventsOut_ = static_cast<LV2_Atom_Sequence*>(data);
  else if (port == layout_.editorWidth())
    editorWidth_ = static_cast<float*>(data);
  else if (port == layout_.editorHeight())
    editorHeight_ = static_cast<float*>(data);
  else if (layout_.notify && port == layout_.notifyOut())
    notifyOut_ = static_cast<LV2_Atom_Sequence*>(data);
}

void UnitInstance::activate() {
  deactivate();
  transport_.prepare(sampleRate_);
  controls_.forget(); // the unit hears every value again
  sent_.clear();
  sampleTime_ = 0;
  active_ = unit_->allocateRenderResources().ok();
}

void UnitInstance::deactivate() {
  active_ = false;
  if (unit_->renderResourcesAllocated())
    unit_->deallocateRenderResources();
}

LV2_State_Status UnitInstance::restore(LV2_State_Retrieve_Function retrieve,
                                       LV2_State_Handle handle) {
  PluginState::Restored restored{LV2_STATE_SUCCESS};
  if (extras_) {
    {
      const std::lock_guard hold(extras_->unitMutex());
      restored = state_.restore(retrieve, handle);
    }
    extras_->unitChanged();
  } else {
    restored = state_.restore(retrieve, handle);
  }
  controls_.holdUnmoved(restored.parameters);
  return restored.status;
}

LV2_State_Status UnitInstance::save(LV2_State_Store_Function store, LV2_State_Handle handle) const {
  if (!extras_)
    return state_.save(store, handle, controls_.held());
  const std::lock_guard hold(extras_->unitMutex());
  return state_.save(store, handle, controls_.held());
}

void UnitInstance::run(std::uint32_t frames) noexcept {
  if (!active_) {
    silence(frames);
    return;
  }
  runStart_ = sampleTime_;
  rendered_ = 0;
  readInput(frames);
  // A position holds from its own frame on: the frames before it render with the last one.
  if (eventsIn_ && eventsIn_->atom.type == uris_.atomSequence && frames > 0)
    LV2_ATOM_SEQUENCE_FOREACH(eventsIn_, event) {
      if (event->body.type != uris_.atomObject && event->body.type != uris_.atomBlank)
        continue;
      const auto& object = *reinterpret_cast<const LV2_Atom_Object*>(&event->body);
      if (extras_ && extras_->read(object))
        continue;
      readEditorSize(object);
      const auto position = readPosition(object, uris_);
      if (!position)
        continue;
      renderUpTo(static_cast<std::uint32_t>(
          std::clamp<std::int64_t>(event->time.frames, 0, std::int64_t(frames) - 1)));
      follow(transport_, *position);
    }
  renderUpTo(frames);
  writeOutput(frames);
}

void UnitInstance::readEditorSize(const LV2_Atom_Object& object) noexcept {
  if (object.body.otype != uris_.editorSize)
    return;
  const LV2_Atom* width = nullptr;
  const LV2_Atom* height = nullptr;
  lv2_atom_object_get(&object, uris_.editorWidth, &width, uris_.editorHeight, &height, 0);
  if (width && height && width->type == uris_.atomInt && height->type == uris_.atomInt)
    state_.setEditorSize(reinterpret_cast<const LV2_Atom_Int*>(width)->body,
                         reinterpret_cast<const LV2_Atom_Int*>(height)->body);
}

void UnitInstance::readInput(std::uint32_t frames) noexcept {
  inputSize_ = 0;
  nextInput_ = 0;
  if (!eventsIn_ || eventsIn_->atom.type != uris_.atomSequence || frames == 0)
    return;
  std::uint32_t last = 0;
  LV2_ATOM_SEQUENCE_FOREACH(eventsIn_, event) {
    const std::uint32_t size = event->body.size;
    if (event->body.type != uris_.midiEvent || size < 1 || size > 3 || inputSize_ == input_.size())
      continue;
    // Within the run and in order, whatever the host stamped.
    last = std::max(last, static_cast<std::uint32_t>(std::clamp<std::int64_t>(
                              event->time.frames, 0, std::int64_t(frames) - 1)));
    FramedMidi& message = input_[inputSize_++];
    message = {last, static_cast<std::uint8_t>(size), {}};
    std::memcpy(message.bytes.data(), LV2_ATOM_BODY_CONST(&event->body), size);
  }
}

void UnitInstance::renderUpTo(std::uint32_t end) noexcept {
  while (rendered_ < end) {
    const std::uint32_t frames = std::min(maximumFrames_, end - rendered_);
    renderSlice(rendered_, frames);
    rendered_ += frames;
  }
}

void UnitInstance::renderSlice(std::uint32_t start, std::uint32_t frames) noexcept {
  events_.clear();
  if (start == 0)
    controls_.addChanges(events_, sampleTime_);
  for (; nextInput_ < inputSize_ && input_[nextInput_].frame < start + frames; ++nextInput_) {
    const FramedMidi& m = input_[nextInput_];
    events_.addMIDI(sampleTime_ + (m.frame - start), 0, m.bytes.data(), m.length);
  }
  // A unit without audio ports renders into the scratch, which only such units have.
  float* channels[2] = {left_ ? left_ + start : nullptr, right_ ? right_ + start : nullptr};
  if (!layout_.audioOutput) {
    channels[0] = scratch_.data();
    channels[1] = scratch_.data() + maximumFrames_;
  }
  AudioBufferList list = AudioBufferList::forChannels(channels, 2, frames);
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(static_cast<double>(sampleTime_));
  if (render_(&flags, &stamp, frames, 0, &list, events_.head(), noInput_) != noErr)
    for (float* channel : channels)
      if (channel && layout_.audioOutput)
        std::fill(channel, channel + frames, 0.0f);
  transport_.advance(frames);
  sampleTime_ += frames;
}

void UnitInstance::writeOutput(std::uint32_t frames) noexcept {
  const auto size = state_.editorSize();
  if (editorWidth_ && editorHeight_) {
    *editorWidth_ = size ? float(size->first) : 0.0f;
    *editorHeight_ = size ? float(size->second) : 0.0f;
  }
  writeNotify();
  const std::span<const FramedMidi> generated = sent_.takeDue(runStart_, frames);
  if (!eventsOut_ || eventsOut_->atom.size < sizeof(LV2_Atom_Sequence_Body))
    return;
  lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<std::uint8_t*>(eventsOut_),
                            eventsOut_->atom.size);
  LV2_Atom_Forge_Frame sequence;
  if (!lv2_atom_forge_sequence_head(&forge_, &sequence, 0))
    return;
  // Both are in frame order; the track's message goes first where both fall on one frame.
  const std::span<const FramedMidi> through(input_.data(), definition_.passesMidi ? inputSize_ : 0);
  std::size_t g = 0, t = 0;
  while (g < generated.size() || t < through.size()) {
    const bool fromTrack =
        t < through.size() && (g == generated.size() || through[t].frame <= generated[g].frame);
    const FramedMidi& m = fromTrack ? through[t++] : generated[g++];
    // Only whole events: the rest of a full buffer stays unwritten.
    if (forge_.offset + sizeof(LV2_Atom_Event) + 8 > forge_.size)
      break;
    if (!lv2_atom_forge_frame_time(&forge_, m.frame) ||
        !lv2_atom_forge_atom(&forge_, m.length, uris_.midiEvent) ||
        !lv2_atom_forge_write(&forge_, m.bytes.data(), m.length))
      break;
  }
  lv2_atom_forge_pop(&forge_, &sequence);
}

void UnitInstance::writeNotify() noexcept {
  if (!notifyOut_ || notifyOut_->atom.size < sizeof(LV2_Atom_Sequence_Body))
    return;
  lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<std::uint8_t*>(notifyOut_),
                            notifyOut_->atom.size);
  LV2_Atom_Forge_Frame sequence;
  if (!lv2_atom_forge_sequence_head(&forge_, &sequence, 0))
    return;
  if (extras_)
    extras_->write(forge_);
  lv2_atom_forge_pop(&forge_, &sequence);
}

void UnitInstance::silence(std::uint32_t frames) noexcept {
  for (float* channel : {left_, right_})
    if (channel)
      std::fill(channel, channel + frames, 0.0f);
  inputSize_ = 0;
  sent_.clear();
  writeOutput(frames);
}

} // namespace plugins::lv2
