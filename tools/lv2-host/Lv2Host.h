// A small LV2 host on liblilv, as Ardour or Carla load plug-ins: URID map and unmap, options
// with the sample rate and block lengths, bounded block length, state and presets.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

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

// A parameter as the bundle describes it: its identifier (the URI past the plug-in's and a
// colon) and its range.
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
  // The parameters the plug-in lets a host write, by identifier (lilv lists them in no fixed
  // order).
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
  // patch:Set of a parameter by its identifier, in the unit's units.
  void addParameter(std::uint32_t frame, const std::string& identifier, float value);

  // Runs frames (up to kMaxBlock: more than the options promise, as some hosts do) and
  // returns the MIDI the plug-in sent.
  std::vector<Lv2MidiMessage> run(std::uint32_t frames);
  // Every parameter value the plug-in reported (patch:Set) since construction or the last
  // call, the latest of each, by identifier: all a host knows of the values.
  std::map<std::string, float> takeReported();
  // Runs frames as run() does, without reading what the plug-in sent: nothing here allocates,
  // so the real-time audit can count the plug-in's run alone.
  void runOnly(std::uint32_t frames);
  // A control input by its symbol, as a host's slider sets it; false when there is none.
  bool setControl(const std::string& symbol, float value);
  float control(const std::string& symbol) const; // NaN when there is none
  // What the last run wrote to an audio output.
  std::vector<float> output(int channel) const {
    return {audio_[channel].begin(), audio_[channel].begin() + lastFrames_};
  }

  // What a host does when it switches the plug-in off and on again.
  void reactivate();

  std::string saveState();
  // The state as lilv_state_save writes it: folder/file, listed in folder/manifest.ttl, under
  // stateUri.
  void saveStateFile(const std::string& folder, const std::string& file,
                     const std::string& stateUri);
  void restoreState(const std::string& turtle);
  // JUCE writes the factory programs as LV2 presets; a preset's port values set the controls.
  void loadPreset(const std::string& uri);
  // The plug-in's own state interface, with one property of any type and bytes, as a host
  // hands back what it stored (or something corrupt); answers the plug-in's status.
  int restoreProperty(const std::string& key, const std::string& type, const void* data,
                      std::size_t size);

private:
  LilvState* captureState();
  void connectPorts();
  void beginSequence();

  Lv2World& world_;
  const LilvPlugin* plugin_;
  std::string uri_;
  std::uint32_t maxBlock_;
  LilvInstance* instance_ = nullptr;
  std::int64_t sampleTime_ = 0;
  std::uint32_t lastFrames_ = 0;
  std::map<std::string, float> reported_;
  std::vector<std::vector<float>> audio_;
  std::vector<float> controls_;
  std::map<std::string, std::uint32_t> controlIndex_; // control inputs by symbol
  std::vector<std::uint64_t> atomIn_, atomOut_;       // 8-byte aligned atom storage
  LV2_Atom_Forge forge_;
  LV2_Atom_Forge_Frame sequence_;
  float sampleRateOption_;
  std::int32_t blockOptions_[3];
  std::vector<LV2_Options_Option> options_;
  std::vector<LV2_Feature> features_;
  std::vector<const LV2_Feature*> featureList_;
};
