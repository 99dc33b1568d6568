// Any bytes as the state a host hands our LV2 plug-ins, under any key our plug-ins read and of
// any type, and then as the state a VST3 host hands the same unit: restoring answers without
// crashing, the plug-in plays cleanly after it, and what it then saves restores again.
#include "tests/fuzz/FuzzTargets.h"

#include "plugins/adapter/UnitProcessor.h"
#include "plugins/lv2/UnitInstance.h"
#include "plugins/lv2/pallix/PallixDefinition.h"
#include "plugins/lv2/quorvane/QuorvaneDefinition.h"

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include <cmath>
#include <string>
#include <vector>

namespace fuzz {

namespace {

using plugins::lv2::PluginDefinition;
using plugins::lv2::UnitInstance;

constexpr std::uint32_t kFrames = 256;
// The generator's runs reach its notes at 600 BPM; a chord sounds in the synthesiser's first
// few, and each of its runs costs far more.
constexpr int kGeneratorRuns = 48;
constexpr int kSynthesiserRuns = 8;

struct Host {
  std::vector<std::string> uris;
  LV2_URID_Map map{this, [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID {
                     auto& all = static_cast<Host*>(handle)->uris;
                     for (std::size_t i = 0; i < all.size(); ++i)
                       if (all[i] == uri)
                         return static_cast<LV2_URID>(i + 1);
                     all.emplace_back(uri);
                     return static_cast<LV2_URID>(all.size());
                   }};
  LV2_URID id(const char* uri) { return map.map(map.handle, uri); }

  // What retrieve hands back: one property, under key, of type.
  LV2_URID key = 0, type = 0;
  std::vector<std::uint8_t> value;
};

const void* retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                     std::uint32_t* type, std::uint32_t* flags) {
  const auto& host = *static_cast<const Host*>(handle);
  if (key != host.key)
    return nullptr;
  *size = host.value.size();
  *type = host.type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return host.value.data();
}

LV2_State_Status store(LV2_State_Handle handle, std::uint32_t key, const void* value,
                       std::size_t size, std::uint32_t type, std::uint32_t) {
  auto& host = *static_cast<Host*>(handle);
  host.key = key;
  host.type = type;
  const auto* bytes = static_cast<const std::uint8_t*>(value);
  host.value.assign(bytes, bytes + size);
  return LV2_STATE_SUCCESS;
}

// Runs the instance with a chord held (the synthesiser) or the transport rolling (the
// generator): its audio finite and within ±1, its MIDI whole messages with data bytes below 128.
Verdict plays(UnitInstance& instance, const PluginDefinition& definition, Host& host) {
  std::vector<float> controls(definition.parameters.size());
  for (const auto& row : definition.parameters)
    controls[row.address] = row.defaultValue;
  std::vector<std::uint64_t> in(1024), out(1024);
  std::vector<float> left(kFrames), right(kFrames);
  const auto layout = definition.ports();
  for (std::uint32_t p = 0; p < layout.parameters; ++p)
    instance.connect(p, &controls[p]);
  instance.connect(layout.eventsIn(), in.data());
  if (layout.audioOutput) {
    instance.connect(layout.left(), left.data());
    instance.connect(layout.right(), right.data());
  } else {
    instance.connect(layout.eventsOut(), out.data());
  }
  instance.activate();
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &host.map);
  const LV2_URID midi = host.id(LV2_MIDI__MidiEvent);
  const int runs = layout.audioOutput ? kSynthesiserRuns : kGeneratorRuns;
  for (int run = 0; run < runs; ++run) {
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(in.data()), in.size() * 8);
    LV2_Atom_Forge_Frame sequence, object;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    if (run == 0) {
      for (const std::uint8_t note : {48, 55, 64}) {
        const std::uint8_t on[3] = {0x90, note, 100};
        lv2_atom_forge_frame_time(&forge, 0);
        lv2_atom_forge_atom(&forge, 3, midi);
        lv2_atom_forge_write(&forge, on, 3);
      }
      lv2_atom_forge_frame_time(&forge, 0);
      lv2_atom_forge_object(&forge, &object, 0, host.id(LV2_TIME__Position));
      lv2_atom_forge_key(&forge, host.id(LV2_TIME__speed));
      lv2_atom_forge_float(&forge, 1.0f);
      lv2_atom_forge_key(&forge, host.id(LV2_TIME__beatsPerMinute));
      lv2_atom_forge_float(&forge, 600.0f);
      lv2_atom_forge_pop(&forge, &object);
    }
    lv2_atom_forge_pop(&forge, &sequence);
    auto* sent = reinterpret_cast<LV2_Atom_Sequence*>(out.data());
    sent->atom.size = static_cast<std::uint32_t>(out.size() * 8 - sizeof(LV2_Atom));
    instance.run(kFrames);
    if (layout.audioOutput) {
      for (const auto& channel : {left, right})
        for (const float x : channel)
          if (!std::isfinite(x) || std::fabs(x) > 1.0f)
            return "audio out of bounds: " + std::to_string(x);
      continue;
    }
    LV2_ATOM_SEQUENCE_FOREACH(sent, event) {
      const auto* bytes = static_cast<const std::uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
      if (event->body.type != midi || event->body.size == 0 || event->body.size > 3 ||
          bytes[0] < 0x80 || event->time.frames < 0 || event->time.frames >= kFrames)
        return "a malformed MIDI event out";
      for (std::uint32_t i = 1; i < event->body.size; ++i)
        if (bytes[i] >= 0x80)
          return "a MIDI data byte of 128 or more";
    }
  }
  return {};
}

Verdict restoreInto(const PluginDefinition& definition, std::uint32_t choice,
                    std::span<const std::uint8_t> bytes) {
  Host host;
  const double rates[] = {8000.0, 44100.0};
  const LV2_Feature mapFeature{LV2_URID__map, &host.map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  auto instance = UnitInstance::create(definition, rates[choice & 1], features);
  if (!instance)
    return "no instance";
  // Our key, JUCE's of the earlier builds, or one neither reads; mostly strings.
  const std::string base = definition.uri;
  const std::string keys[] = {base + "#state", base + ":StateString", base + "#other"};
  const char* types[] = {LV2_ATOM__String, LV2_ATOM__String, LV2_ATOM__Chunk, LV2_ATOM__Int};
  host.key = host.id(keys[(choice >> 1) % 3].c_str());
  host.type = host.id(types[(choice >> 3) & 3]);
  host.value.assign(bytes.begin(), bytes.end());
  instance->restore(retrieve, &host);
  if (Verdict fault = plays(*instance, definition, host); !fault.empty())
    return fault;
  host.key = 0;
  if (instance->save(store, &host) != LV2_STATE_SUCCESS || host.key == 0)
    return "no state saved";
  if (instance->restore(retrieve, &host) != LV2_STATE_SUCCESS)
    return "what it saved does not restore";
  return {};
}

std::vector<float> valuesOf(juce::AudioProcessor& processor) {
  std::vector<float> values;
  for (const auto* parameter : processor.getParameters())
    values.push_back(parameter->getValue());
  return values;
}

// The unit as a VST3 plug-in handed the bytes through the adapter's state entry (which JUCE's
// VST3 client calls with the chunk the host stored): it plays a chord within bounds, and what it
// then saves restores to the same values.
Verdict vst3StateInto(const PluginDefinition& definition, std::span<const std::uint8_t> bytes) {
  static const juce::ScopedJuceInitialiser_GUI juce; // the adapter posts to the message thread
  plugins::UnitProcessor processor(definition.make(nullptr), "fuzz");
  processor.setStateInformation(bytes.data(), static_cast<int>(bytes.size()));
  processor.prepareToPlay(44100.0, int(kFrames));
  juce::AudioBuffer<float> audio(std::max(2, processor.getTotalNumOutputChannels()), int(kFrames));
  for (int block = 0; block < kSynthesiserRuns; ++block) { // no play head: the generator waits
    juce::MidiBuffer midi;
    if (block == 0)
      for (const int note : {48, 55, 64})
        midi.addEvent(juce::MidiMessage::noteOn(1, note, std::uint8_t(100)), 0);
    audio.clear();
    processor.processBlock(audio, midi);
    for (int channel = 0; channel < audio.getNumChannels(); ++channel)
      for (const float x : std::span(audio.getReadPointer(channel), kFrames))
        if (!std::isfinite(x) || std::fabs(x) > 1.0f)
          return "VST3 audio out of bounds: " + std::to_string(x);
  }
  juce::MemoryBlock saved;
  processor.getStateInformation(saved);
  plugins::UnitProcessor again(definition.make(nullptr), "fuzz");
  again.setStateInformation(saved.getData(), static_cast<int>(saved.getSize()));
  return valuesOf(again) == valuesOf(processor) ? Verdict{}
                                                : "the VST3 state saved restores otherwise";
}

} // namespace

Verdict pluginState(std::span<const std::uint8_t> bytes) {
  FuzzInput input(bytes);
  const bool generator = input.flag();
  const PluginDefinition& definition =
      generator ? plugins::lv2::kPallixDefinition : plugins::lv2::kQuorvaneDefinition;
  const std::uint32_t choice = input.byte();
  const auto state = input.rest();
  if (Verdict fault = restoreInto(definition, choice, state); !fault.empty())
    return fault;
  return vst3StateInto(definition, state);
}

} // namespace fuzz
