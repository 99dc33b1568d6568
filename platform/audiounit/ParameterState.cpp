// Factory preset lists and the parameter dictionary of a saved state.
#include "platform/audiounit/ParameterState.h"

#include <algorithm>

ParameterState::ParameterState(std::shared_ptr<const FactoryPresetCatalogue> presets,
                               std::string key)
    : presets_(std::move(presets)), key_(std::move(key)) {}

void ParameterState::recordDefaults(const AUParameterTree& tree) {
  for (const auto& parameter : tree.allParameters())
    defaults_[parameter->identifier()] = parameter->value();
}

std::vector<AUAudioUnitPreset> ParameterState::factoryPresets() const {
  std::vector<AUAudioUnitPreset> presets;
  long number = 0;
  for (const auto& entry : presets_->entries())
    presets.push_back({number++, entry.name});
  return presets;
}

void ParameterState::applyPreset(const AUParameterTree* tree,
                                 const std::optional<AUAudioUnitPreset>& preset) const {
  if (preset)
    apply(tree, presets_->load(preset->number));
}

void ParameterState::store(foundation::PropertyList& state, const AUParameterTree* tree) const {
  if (!tree || !state.dictionary())
    return;
  foundation::PropertyList::Dictionary values;
  for (const auto& parameter : tree->allParameters())
    values[parameter->identifier()] = foundation::PropertyList(parameter->value());
  (*state.dictionary())[key_] = foundation::PropertyList(std::move(values));
}

namespace {

const char* kindName(foundation::PropertyList::Kind kind) noexcept {
  using Kind = foundation::PropertyList::Kind;
  switch (kind) {
  case Kind::dictionary:
    return "a dictionary";
  case Kind::array:
    return "an array";
  case Kind::string:
    return "a string";
  case Kind::boolean:
    return "a boolean";
  case Kind::data:
    return "data";
  case Kind::date:
    return "a date";
  case Kind::integer:
  case Kind::real:
    break;
  }
  return "a number";
}

} // namespace

std::optional<std::string>
ParameterState::problemWith(const foundation::PropertyList& state) const {
  const foundation::PropertyList* found = state.dictionary() ? state.find(key_) : nullptr;
  if (!found || !found->dictionary())
    return "not this unit's state: it holds no '" + key_ + "' dictionary";
  for (const auto& [identifier, value] : *found->dictionary())
    if (!value.number())
      return "'" + key_ + "' holds " + kindName(value.kind()) + " for '" + identifier +
             "', not a number";
  return std::nullopt;
}

void ParameterState::apply(const AUParameterTree* tree,
                           const std::optional<foundation::PropertyList>& state) const {
  if (!tree || !state || !state->dictionary())
    return;
  const foundation::PropertyList::Dictionary* values = nullptr;
  if (const foundation::PropertyList* found = state->find(key_); found && found->dictionary()) {
    values = found->dictionary();
    if (!std::all_of(values->begin(), values->end(),
                     [](const auto& entry) { return entry.second.number().has_value(); }))
      values = nullptr;
  }
  for (const auto& parameter : tree->allParameters()) {
    const std::string& id = parameter->identifier();
    if (values)
      if (const auto found = values->find(id); found != values->end()) {
        parameter->setValue(static_cast<AUValue>(*found->second.number()));
        continue;
      }
    if (const auto fallback = defaults_.find(id); fallback != defaults_.end())
      parameter->setValue(fallback->second);
  }
}
