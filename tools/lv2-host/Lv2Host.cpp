// The LV2 test host: lilv world, URID map, features, ports, atom sequences and state.
#include "tools/lv2-host/Lv2Host.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/parameters/parameters.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t kAtomBytes = 1 << 16;

LilvNode* uriNode(LilvWorld* world, const std::string& uri) {
  return lilv_new_uri(world, uri.c_str());
}

} // namespace

Lv2World::Lv2World(const std::vector<std::string>& bundleFolders) : world_(lilv_world_new()) {
  map_ = {this, [](LV2_URID_Map_Handle self, const char* uri) {
            return static_cast<Lv2World*>(self)->map(uri);
          }};
  unmap_ = {this, [](LV2_URID_Unmap_Handle self, LV2_URID urid) {
              return static_cast<Lv2World*>(self)->unmap(urid);
            }};
  for (const auto& folder : bundleFolders) {
    const std::string uri = "file://" + folder + "/";
    LilvNode* bundle = uriNode(world_, uri);
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
  }
}

Lv2World::~Lv2World() { lilv_world_free(world_); }

const LilvPlugin* Lv2World::plugin(const std::string& uri) const {
  LilvNode* node = uriNode(world_, uri);
  const LilvPlugin* found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), node);
  lilv_node_free(node);
  return found;
}

std::vector<Lv2Parameter> Lv2World::parameters(const std::string& uri) const {
  const LilvPlugin* found = plugin(uri);
  if (!found)
    return {};
  const std::uint32_t count = lilv_plugin_get_num_ports(found);
  std::vector<float> minima(count), maxima(count);
  lilv_plugin_get_port_ranges_float(found, minima.data(), maxima.data(), nullptr);
  LilvNode* control = lilv_new_uri(world_, LILV_URI_CONTROL_PORT);
  LilvNode* input = lilv_new_uri(world_, LILV_URI_INPUT_PORT);
  std::vector<Lv2Parameter> result;
  for (std::uint32_t i = 0; i < count; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(found, i);
    if (lilv_port_is_a(found, port, control) && lilv_port_is_a(found, port, input))
      result.push_back(
          {lilv_node_as_string(lilv_port_get_symbol(found, port)), minima[i], maxima[i]});
  }
  lilv_node_free(control);
  lilv_node_free(input);
  std::sort(result.begin(), result.end(),
            [](const auto& a, const auto& b) { return a.identifier < b.identifier; });
  return result;
}

LV2_URID Lv2World::map(const char* uri) {
  for (std::size_t i = 0; i < uris_.size(); ++i)
    if (uris_[i] == uri)
      return static_cast<LV2_URID>(i + 1);
  uris_.emplace_back(uri);
  return static_cast<LV2_URID>(uris_.size());
}

const char* Lv2World::unmap(LV2_URID urid) const {
  return urid >= 1 && urid <= uris_.size() ? uris_[urid - 1].c_str() : nullptr;
}

Lv2Instance::Lv2Instance(Lv2World& world, const std::string& uri, double sampleRate,
                         std::uint32_t maxBlock)
    : world_(world), plugin_(world.plugin(uri)), uri_(uri), maxBlock_(maxBlock),
      atomIn_(kAtomBytes / 8), atomOut_(kAtomBytes / 8),
      sampleRateOption_(static_cast<float>(sampleRate)), blockOptions_{
                                                             1, static_cast<std::int32_t>(maxBlock),
                                                             static_cast<std::int32_t>(maxBlock)} {
  if (!plugin_)
    throw std::runtime_error("no LV2 plug-in " + uri);
  const LV2_URID floatType = world.map(LV2_ATOM__Float), intType = world.map(LV2_ATOM__Int);
  const auto option = [](LV2_URID key, LV2_URID type, std::uint32_t size, const void* value) {
    return LV2_Options_Option{LV2_OPTIONS_INSTANCE, 0, key, size, type, value};
  };
  options_ = {option(world.map(LV2_PARAMETERS__sampleRate), floatType, 4, &sampleRateOption_),
              option(world.map(LV2_BUF_SIZE__minBlockLength), intType, 4, &blockOptions_[0]),
              option(world.map(LV2_BUF_SIZE__maxBlockLength), intType, 4, &blockOptions_[1]),
              option(world.map(LV2_BUF_SIZE__nominalBlockLength), intType, 4, &blockOptions_[2]),
              LV2_Options_Option{LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  features_ = {{LV2_URID__map, world.mapFeature()},
               {LV2_URID__unmap, world.unmapFeature()},
               {LV2_OPTIONS__options, options_.data()},
               {LV2_BUF_SIZE__boundedBlockLength, nullptr},
               {LV2_WORKER__schedule, &schedule_}};
  for (const auto& feature : features_)
    featureList_.push_back(&feature);
  featureList_.push_back(nullptr);
  instance_ = lilv_plugin_instantiate(plugin_, sampleRate, featureList_.data());
  if (!instance_)
    throw std::runtime_error("cannot instantiate " + uri);
  worker_ = static_cast<const LV2_Worker_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
  lv2_atom_forge_init(&forge_, world.mapFeature());
  connectPorts();
  lilv_instance_activate(instance_);
  beginSequence();
}

Lv2Instance::~Lv2Instance() {
  lilv_instance_deactivate(instance_);
  lilv_instance_free(instance_);
}

void Lv2Instance::connectPorts() {
  LilvWorld* w = world_.world();
  LilvNode* audio = lilv_new_uri(w, LILV_URI_AUDIO_PORT);
  LilvNode* control = lilv_new_uri(w, LILV_URI_CONTROL_PORT);
  LilvNode* atom = lilv_new_uri(w, LILV_URI_ATOM_PORT);
  LilvNode* input = lilv_new_uri(w, LILV_URI_INPUT_PORT);
  const std::uint32_t count = lilv_plugin_get_num_ports(plugin_);
  std::vector<float> defaults(count);
  lilv_plugin_get_port_ranges_float(plugin_, nullptr, nullptr, defaults.data());
  controls_.assign(count, 0.0f);
  audio_.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
    const bool isInput = lilv_port_is_a(plugin_, port, input);
    if (lilv_port_is_a(plugin_, port, audio)) {
      audio_.emplace_back(kMaxBlock, 0.0f);
      lilv_instance_connect_port(instance_, i, audio_.back().data());
    } else if (lilv_port_is_a(plugin_, port, control)) {
      controls_[i] = std::isnan(defaults[i]) ? 0.0f : defaults[i];
      (isInput ? controlIndex_
               : outputIndex_)[lilv_node_as_string(lilv_port_get_symbol(plugin_, port))] = i;
      lilv_instance_connect_port(instance_, i, &controls_[i]);
    } else if (lilv_port_is_a(plugin_, port, atom)) {
      lilv_instance_connect_port(instance_, i, isInput ? atomIn_.data() : atomOut_.data());
    }
  }
  for (LilvNode* node : {audio, control, atom, input})
    lilv_node_free(node);
}

LV2_Worker_Status Lv2Instance::scheduleWork(LV2_Worker_Schedule_Handle handle, std::uint32_t size,
                                            const void* data) {
  auto* self = static_cast<Lv2Instance*>(handle);
  if (!self->worker_ || !self->worker_->work)
    return LV2_WORKER_ERR_UNKNOWN;
  const auto respond = [](LV2_Worker_Respond_Handle target, std::uint32_t length,
                          const void* answer) {
    const auto* bytes = static_cast<const std::uint8_t*>(answer);
    static_cast<Lv2Instance*>(target)->workResponses_.emplace_back(bytes, bytes + length);
    return LV2_WORKER_SUCCESS;
  };
  return self->worker_->work(lilv_instance_get_handle(self->instance_), respond, self, size, data);
}

void Lv2Instance::deliverWorkResponses() {
  if (!worker_)
    return;
  LV2_Handle handle = lilv_instance_get_handle(instance_);
  if (worker_->work_response)
    for (const std::vector<std::uint8_t>& answer : workResponses_)
      worker_->work_response(handle, static_cast<std::uint32_t>(answer.size()), answer.data());
  workResponses_.clear();
  if (worker_->end_run)
    worker_->end_run(handle);
}

void Lv2Instance::beginSequence() {
  lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<std::uint8_t*>(atomIn_.data()), kAtomBytes);
  lv2_atom_forge_sequence_head(&forge_, &sequence_, 0);
}

void Lv2Instance::addMidi(std::uint32_t frame, std::array<std::uint8_t, 3> bytes,
                          std::uint32_t size) {
  size = std::min<std::uint32_t>(size, 3);
  lv2_atom_forge_frame_time(&forge_, frame);
  lv2_atom_forge_atom(&forge_, size, world_.map(LV2_MIDI__MidiEvent));
  lv2_atom_forge_write(&forge_, bytes.data(), size);
}

void Lv2Instance::addAtom(std::uint32_t frame, const LV2_Atom& atom) {
  lv2_atom_forge_frame_time(&forge_, frame);
  lv2_atom_forge_write(&forge_, &atom, lv2_atom_total_size(&atom));
}

void Lv2Instance::addPosition(std::uint32_t frame, double beat, double beatsPerMinute, bool rolling,
                              int beatsPerBar, int beatUnit, bool withBeat) {
  LV2_Atom_Forge_Frame object;
  lv2_atom_forge_frame_time(&forge_, frame);
  lv2_atom_forge_object(&forge_, &object, 0, world_.map(LV2_TIME__Position));
  lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__frame));
  lv2_atom_forge_long(&forge_, sampleTime_ + frame);
  lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__speed));
  lv2_atom_forge_float(&forge_, rolling ? 1.0f : 0.0f);
  lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__bar));
  lv2_atom_forge_long(&forge_, static_cast<std::int64_t>(beat / beatsPerBar));
  if (withBeat) {
    lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beat));
    lv2_atom_forge_double(&forge_, beat);
  } else {
    lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__barBeat));
    lv2_atom_forge_float(&forge_, static_cast<float>(std::fmod(beat, beatsPerBar)));
  }
  lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beatUnit));
  lv2_atom_forge_int(&forge_, beatUnit);
  lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beatsPerBar));
  lv2_atom_forge_float(&forge_, static_cast<float>(beatsPerBar));
  lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beatsPerMinute));
  lv2_atom_forge_float(&forge_, static_cast<float>(beatsPerMinute));
  lv2_atom_forge_pop(&forge_, &object);
}

std::vector<Lv2MidiMessage> Lv2Instance::run(std::uint32_t frames) {
  lv2_atom_forge_pop(&forge_, &sequence_);
  auto* out = reinterpret_cast<LV2_Atom_Sequence*>(atomOut_.data());
  out->atom.type = world_.map(LV2_ATOM__Chunk);
  out->atom.size = kAtomBytes - sizeof(LV2_Atom);
  lilv_instance_run(instance_, frames);
  deliverWorkResponses();
  std::vector<Lv2MidiMessage> sent;
  sentAtoms_.clear();
  const LV2_URID midiType = world_.map(LV2_MIDI__MidiEvent);
  LV2_ATOM_SEQUENCE_FOREACH(out, event) {
    if (event->body.type != midiType) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(&event->body);
      sentAtoms_.emplace_back(bytes, bytes + lv2_atom_total_size(&event->body));
      continue;
    }
    if (event->body.size < 1)
      continue;
    Lv2MidiMessage message{sampleTime_ + event->time.frames, {}};
    std::memcpy(message.bytes.data(), LV2_ATOM_BODY_CONST(&event->body),
                std::min<std::size_t>(event->body.size, 3));
    sent.push_back(message);
  }
  sampleTime_ += frames;
  lastFrames_ = frames;
  beginSequence();
  return sent;
}

void Lv2Instance::runOnly(std::uint32_t frames) {
  lv2_atom_forge_pop(&forge_, &sequence_);
  auto* out = reinterpret_cast<LV2_Atom_Sequence*>(atomOut_.data());
  out->atom.type = 0;
  out->atom.size = kAtomBytes - sizeof(LV2_Atom);
  lilv_instance_run(instance_, frames);
  deliverWorkResponses();
  sampleTime_ += frames;
  lastFrames_ = frames;
  beginSequence();
}

bool Lv2Instance::setControl(const std::string& symbol, float value) {
  const auto found = controlIndex_.find(symbol);
  if (found == controlIndex_.end())
    return false;
  controls_[found->second] = value;
  return true;
}

float Lv2Instance::outputControl(const std::string& symbol) const {
  const auto found = outputIndex_.find(symbol);
  return found == outputIndex_.end() ? std::nanf("") : controls_[found->second];
}

float Lv2Instance::control(const std::string& symbol) const {
  const auto found = controlIndex_.find(symbol);
  return found == controlIndex_.end() ? std::nanf("") : controls_[found->second];
}

void Lv2Instance::reactivate() {
  lilv_instance_deactivate(instance_);
  lilv_instance_activate(instance_);
}

std::string Lv2Instance::saveState(bool withControls) {
  // With the control values, as hosts store them beside the plug-in's own state.
  LilvState* state = lilv_state_new_from_instance(
      plugin_, instance_, world_.mapFeature(), nullptr, nullptr, nullptr, nullptr,
      [](const char* symbol, void* self, std::uint32_t* size, std::uint32_t* type) -> const void* {
        auto* instance = static_cast<Lv2Instance*>(self); // null: no control values
        if (!instance)
          return nullptr;
        const auto found = instance->controlIndex_.find(symbol);
        if (found == instance->controlIndex_.end())
          return nullptr;
        *size = sizeof(float);
        *type = instance->world_.map(LV2_ATOM__Float);
        return &instance->controls_[found->second];
      },
      withControls ? this : nullptr, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, featureList_.data());
  char* text = lilv_state_to_string(world_.world(), world_.mapFeature(), world_.unmapFeature(),
                                    state, "urn:orrinbrook:test-state", nullptr);
  std::string result = text ? text : "";
  lilv_free(text);
  lilv_state_free(state);
  return result;
}

void Lv2Instance::restoreState(const std::string& turtle) {
  LilvState* state =
      lilv_state_new_from_string(world_.world(), world_.mapFeature(), turtle.c_str());
  if (!state)
    throw std::runtime_error("unreadable state");
  restore(state);
  lilv_state_free(state);
}

void Lv2Instance::restore(const LilvState* state) {
  lilv_state_restore(
      state, instance_,
      [](const char* symbol, void* self, const void* value, std::uint32_t size,
         std::uint32_t type) {
        auto& instance = *static_cast<Lv2Instance*>(self);
        if (size == sizeof(float) && type == instance.world_.map(LV2_ATOM__Float))
          instance.setControl(symbol, *static_cast<const float*>(value));
      },
      this, 0, featureList_.data());
}

int Lv2Instance::restoreProperty(const std::string& key, const std::string& type, const void* data,
                                 std::size_t size) {
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!state || !state->restore)
    throw std::runtime_error("no state interface");
  struct Property {
    LV2_URID key, type;
    const void* data;
    std::size_t size;
  } property{world_.map(key.c_str()), world_.map(type.c_str()), data, size};
  const auto retrieve = [](LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                           std::uint32_t* type, std::uint32_t* flags) -> const void* {
    const auto& p = *static_cast<const Property*>(handle);
    if (key != p.key)
      return nullptr;
    *size = p.size;
    *type = p.type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return p.data;
  };
  return state->restore(lilv_instance_get_handle(instance_), retrieve, &property, 0,
                        featureList_.data());
}

void Lv2Instance::loadPreset(const std::string& uri) {
  LilvNode* node = uriNode(world_.world(), uri);
  lilv_world_load_resource(world_.world(), node);
  LilvState* state = lilv_state_new_from_world(world_.world(), world_.mapFeature(), node);
  lilv_node_free(node);
  if (!state)
    throw std::runtime_error("no preset " + uri);
  restore(state);
  lilv_state_free(state);
}
