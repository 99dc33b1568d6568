// A small LV2 host on liblilv, as Ardour or Carla load plug-ins: URID map and unmap, options
// with the sample rate and block lengths, bounded block length, state and presets.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct Lv2MidiMessage {
  std::int64_t sampleTime; // the run's first frame plus the event's frame
  std::array<std::uint8_t, 3> bytes;
  bool operator==(const Lv2MidiMessage&) const = default;
};

// A control input as the bundle describes it: its symbol (the parameter's identifier) and its
// range.
struct Lv2Parameter {
  std::string identifier;
  float minimum;
  float maximum;
};

// The bundles named at construction are loaded by path, so nothing installed gets involved.
class Lv2World {
public:
  explicit Lv2World(const std::vector<std::string>& bundleFolders);
  ~Lv2World();
  Lv2World(const Lv2World&) = delete;
  Lv2World& operator=(const Lv2World&) = delete;

  LilvWorld* world() const noexcept { return world_; }
  const LilvPlugin* plugin(const std::string& uri) const; // null when missing
  // The control inputs, by symbol.
  std::vector<Lv2Parameter> parameters(const std::string& uri) const;
  LV2_URID map(const char* uri);
  const char* unmap(LV2_URID urid) const;
  LV2_URID_Map* mapFeature() noexcept { return &map_; }
  LV2_URID_Unmap* unmapFeature() noexcept { return &unmap_; }

private:
  LilvWorld* world_;
  std::vector<std::string> uris_; // URID n is uris_[n - 1]
  LV2_URID_Map map_;
  LV2_URID_Unmap unmap_;
};

// One instance, its ports connected; rendering stereo audio and atom messages in and out.
class Lv2Instance {
public:
  static constexpr std::uint32_t kMaxBlock = 4096;

  Lv2Instance(Lv2World& world, const std::string& uri, double sampleRate,
              std::uint32_t maxBlock = 512);
  ~Lv2Instance();
  Lv2Instance(const Lv2Instance&) = delete;
  Lv2Instance& operator=(const Lv2Instance&) = delete;

  // Messages for the next run, at a frame of it; add them in frame order.
  void addMidi(std::uint32_t frame, std::array<std::uint8_t, 3> bytes, std::uint32_t size = 3);
  // time:Position: bar and beat count beatUnit notes, as LV2 defines them.
  // withBeat false gives the bar beat instead of the beat position, as jalv does.
  void addPosition(std::uint32_t frame, double beat, double beatsPerMinute, bool rolling,
                   int beatsPerBar = 4, int beatUnit = 4, bool withBeat = true);
  // Any atom, as a host passes on what a UI sent (atom:eventTransfer).
  void addAtom(std::uint32_t frame, const LV2_Atom& atom);

  // Runs frames (up to kMaxBlock: more than the options promise, as some hosts do) and
  // returns the MIDI the plug-in sent.
  std::vector<Lv2MidiMessage> run(std::uint32_t frames);
  // Runs frames as run() does, without reading what the plug-in sent: nothing here allocates,
  // so the real-time audit can count the plug-in's run alone.
  void runOnly(std::uint32_t frames);
  // A control input by its symbol, as a host's slider sets it; false when there is none.
  bool setControl(const std::string& symbol, float value);
  float control(const std::string& symbol) const; // NaN when there is none
  // What the last run wrote to a control output; NaN when there is none.
  float outputControl(const std::string& symbol) const;
  // The atoms other than MIDI the last run sent (each with its header), as a host passes them
  // on to a UI.
  const std::vector<std::vector<std::uint8_t>>& sentAtoms() const noexcept { return sentAtoms_; }
  // What the last run wrote to an audio output; nothing when the plug-in has no such output.
  std::vector<float> output(std::size_t channel) const {
    if (channel >= audio_.size())
      return {};
    return {audio_[channel].begin(), audio_[channel].begin() + lastFrames_};
  }

  // What a host does when it switches the plug-in off and on again.
  void reactivate();

  // The plug-in's state and the control values, as hosts keep them (or the plug-in's state
  // alone); restoring sets what the state holds.
  std::string saveState(bool withControls = true);
  void restoreState(const std::string& turtle);
  // A preset's port values set the controls.
  void loadPreset(const std::string& uri);
  // The plug-in's own state interface, with one property of any type and bytes, as a host
  // hands back what it stored (or something corrupt); answers the plug-in's status.
  int restoreProperty(const std::string& key, const std::string& type, const void* data,
                      std::size_t size);

private:
  void connectPorts();
  // The worker, in the host's own thread as offline hosts run it: work at once, and what it
  // answers delivered after the run.
  static LV2_Worker_Status scheduleWork(LV2_Worker_Schedule_Handle self, std::uint32_t size,
                                        const void* data);
  void deliverWorkResponses();
  void restore(const LilvState* state);
  void beginSequence();

  Lv2World& world_;
  const LilvPlugin* plugin_;
  std::string uri_;
  std::uint32_t maxBlock_;
  LilvInstance* instance_ = nullptr;
  std::int64_t sampleTime_ = 0;
  std::uint32_t lastFrames_ = 0;
  std::vector<std::vector<float>> audio_;
  std::vector<float> controls_;
  std::map<std::string, std::uint32_t> controlIndex_; // control inputs by symbol
  std::map<std::string, std::uint32_t> outputIndex_;  // control outputs by symbol
  std::vector<std::uint64_t> atomIn_, atomOut_;       // 8-byte aligned atom storage
  LV2_Atom_Forge forge_;
  LV2_Atom_Forge_Frame sequence_;
  float sampleRateOption_;
  std::int32_t blockOptions_[3];
  std::vector<LV2_Options_Option> options_;
  std::vector<LV2_Feature> features_;
  std::vector<const LV2_Feature*> featureList_;
  LV2_Worker_Schedule schedule_{this, &Lv2Instance::scheduleWork};
  const LV2_Worker_Interface* worker_ = nullptr;
  std::vector<std::vector<std::uint8_t>> workResponses_;
  std::vector<std::vector<std::uint8_t>> sentAtoms_;
};
