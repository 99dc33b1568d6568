// A unit's factory presets and the parameter part of its saved state, kept alike by every unit:
// a state holds each parameter's value, by identifier, in a dictionary under the unit's own
// key, and whatever a state or preset leaves out returns to its default.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/AUParameterTree.h"
#include "platform/audiounit/FactoryPresetCatalogue.h"
#include "platform/foundation/PropertyList.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Each parameter's value right after its unit built the tree, by identifier.
using ParameterDefaults = std::map<std::string, AUValue, std::less<>>;

// The tree is passed to each call, since the unit owns it; a null tree makes every call a
// no-op. Threads: main or control thread, as the unit members that call it.
class ParameterState {
public:
  ParameterState(std::shared_ptr<const FactoryPresetCatalogue> presets, std::string key);

  // Takes each parameter's current value as its default: once, right after the tree is built.
  void recordDefaults(const AUParameterTree& tree);
  const ParameterDefaults& defaults() const noexcept { return defaults_; }

  // Preset i for catalogue entry i, under the entry's display name.
  std::vector<AUAudioUnitPreset> factoryPresets() const;

  // Applies the file of factory preset preset->number. User presets (negative numbers),
  // unknown numbers and unreadable files change nothing.
  void applyPreset(const AUParameterTree* tree,
                   const std::optional<AUAudioUnitPreset>& preset) const;

  // Adds the dictionary of current values to state (a dictionary).
  void store(foundation::PropertyList& state, const AUParameterTree* tree) const;

  // Sets every parameter, in tree order, from the dictionary state[key], or to its default
  // where that has no value for it. The dictionary counts only as a whole: if any of its values
  // is not a number, every parameter returns to its default. A state that is not a dictionary
  // changes nothing. Each value goes through the parameter, so the unit's engine and the tree's
  // observers hear of it.
  void apply(const AUParameterTree* tree,
             const std::optional<foundation::PropertyList>& state) const;

  // Why apply would not take state's values as they stand, for tools that refuse such a file
  // where a host falls back to the defaults: no dictionary under the unit's key (another unit's
  // state), or the first value that is not a number. Nothing when apply would take them.
  std::optional<std::string> problemWith(const foundation::PropertyList& state) const;

private:
  std::shared_ptr<const FactoryPresetCatalogue> presets_;
  std::string key_;
  ParameterDefaults defaults_;
};
