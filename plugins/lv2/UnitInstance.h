// One LV2 instance of a unit: its ports, the render calls it makes of each run, the transport
// it answers and the MIDI it passes on.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/RenderEventList.h"
#include "plugins/lv2/ControlPorts.h"
#include "plugins/lv2/ExtrasExchange.h"
#include "plugins/lv2/MidiOutputQueue.h"
#include "plugins/lv2/PluginDefinition.h"
#include "plugins/lv2/PluginState.h"
#include "plugins/lv2/TransportPosition.h"
#include "plugins/lv2/Uris.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace plugins::lv2 {

// A run becomes render calls of the unit at a running sample time: split where a time:Position
// takes effect and wherever the run is longer than the unit's maximum (the host's
// bufsz:maxBlockLength, else its nominal length, else kDefaultMaximumFrames). Control changes
// go as parameter events at the run's first frame; MIDI goes as MIDI events at the sample time
// of its own frame, into the call that contains it (the unit splits its rendering there).
// Threads: as the LV2 core defines them. run never allocates, locks, logs or does I/O.
class UnitInstance {
public:
  static constexpr std::uint32_t kDefaultMaximumFrames = 4096;
  // MIDI messages one run takes in and one run sends out; beyond them messages are dropped.
  static constexpr std::size_t kMidiCapacity = 2048;

  // Null when the host gives no urid:map or the unit cannot be made.
  static std::unique_ptr<UnitInstance> create(const PluginDefinition& definition, double sampleRate,
                                              const LV2_Feature* const* features);
  UnitInstance(const PluginDefinition& definition, std::shared_ptr<AUAudioUnit> unit,
               double sampleRate, std::uint32_t maximumFrames, const LV2_URID_Map& map,
               const LV2_Worker_Schedule* schedule = nullptr);
  ~UnitInstance();
  UnitInstance(const UnitInstance&) = delete;
  UnitInstance& operator=(const UnitInstance&) = delete;

  void connect(std::uint32_t port, void* data) noexcept;
  void activate();
  void deactivate();
  void run(std::uint32_t frames) noexcept;

  PluginState& state() noexcept { return state_; }
  // The host's state restored (PluginState), the ports told whose values sound.
  LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
  // The state, with the values of the parameters the ports still leave to an earlier one.
  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle) const;
  AUAudioUnit& unit() noexcept { return *unit_; }
  // Null unless the editor changes the unit's extras.
  ExtrasExchange* extras() noexcept { return extras_.get(); }
  std::uint32_t maximumFrames() const noexcept { return maximumFrames_; }

private:
  void readInput(std::uint32_t frames) noexcept;
  void readEditorSize(const LV2_Atom_Object& object) noexcept;
  void renderUpTo(std::uint32_t end) noexcept;
  void renderSlice(std::uint32_t start, std::uint32_t frames) noexcept;
  void writeOutput(std::uint32_t frames) noexcept;
  void writeNotify() noexcept;
  void silence(std::uint32_t frames) noexcept;

  const PluginDefinition& definition_;
  PortLayout layout_;
  std::shared_ptr<AUAudioUnit> unit_;
  Uris uris_;
  PluginState state_;
  ControlPorts controls_;
  std::unique_ptr<ExtrasExchange> extras_;
  hosting::TransportFollower transport_;
  RenderEventList events_;
  MidiOutputQueue sent_;
  std::vector<FramedMidi> input_; // this run's MIDI, in frame order
  std::size_t inputSize_ = 0;
  std::size_t nextInput_ = 0;  // the first not yet in a render call
  std::vector<float> scratch_; // what a unit without audio ports renders into
  AURenderBlock render_;
  AURenderPullInputBlock noInput_;
  double sampleRate_;
  std::uint32_t maximumFrames_;
  bool active_ = false;
  AUEventSampleTime sampleTime_ = 0; // of the next frame to render
  AUEventSampleTime runStart_ = 0;
  std::uint32_t rendered_ = 0; // frames of this run so far

  LV2_Atom_Forge forge_;
  const LV2_Atom_Sequence* eventsIn_ = nullptr;
  LV2_Atom_Sequence* eventsOut_ = nullptr;
  LV2_Atom_Sequence* notifyOut_ = nullptr;
  float* left_ = nullptr;
  float* right_ = nullptr;
  float* editorWidth_ = nullptr;
  float* editorHeight_ = nullptr;
};

} // namespace plugins::lv2
