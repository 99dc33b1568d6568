// The state's property list written and read, every field checked before use.
#include "plugins/lv2/PluginState.h"

#include "plugins/lv2/JuceState.h"

#include <lv2/atom/atom.h>

#include <cmath>
#include <cstring>
#include <span>

namespace plugins::lv2 {

namespace {

constexpr const char* kVersionKey = "version";
constexpr const char* kEditorSizeKey = "editorSize";
// Values of parameters the ports leave to the state (see PluginState.h), by identifier.
constexpr const char* kParametersKey = "parameters";

} // namespace

PluginState::PluginState(const PluginDefinition& definition, AUAudioUnit& unit,
                         const LV2_URID_Map& map)
    : definition_(definition), unit_(unit), keyUri_(std::string(definition.uri) + "#state"),
      juceKeyUri_(juceStateKey(definition.uri)), key_(map.map(map.handle, keyUri_.c_str())),
      juceKey_(map.map(map.handle, juceKeyUri_.c_str())),
      stringType_(map.map(map.handle, LV2_ATOM__String)) {}

std::optional<std::pair<int, int>> PluginState::editorSize() const noexcept {
  const int width = editorWidth_.load(std::memory_order_relaxed);
  const int height = editorHeight_.load(std::memory_order_relaxed);
  if (width <= 0 || height <= 0)
    return std::nullopt;
  return std::pair{width, height};
}

void PluginState::setEditorSize(int width, int height) noexcept {
  const bool fits =
      width > 0 && height > 0 && width <= kMaximumEditorSide && height <= kMaximumEditorSide;
  editorWidth_.store(fits ? width : 0, std::memory_order_relaxed);
  editorHeight_.store(fits ? height : 0, std::memory_order_relaxed);
}

LV2_State_Status PluginState::save(LV2_State_Store_Function store, LV2_State_Handle handle,
                                   std::uint64_t held) const {
  if (!store)
    return LV2_STATE_ERR_UNKNOWN;
  foundation::PropertyList::Dictionary state{{kVersionKey, foundation::PropertyList(kVersion)}};
  foundation::PropertyList::Dictionary values;
  const auto tree = unit_.parameterTree();
  for (const auto& row : definition_.parameters)
    if (row.address < 64 && (held >> row.address & 1) && tree)
      if (const auto parameter = tree->parameterWithAddress(row.address))
        values[std::string(row.identifier)] =
            foundation::PropertyList(static_cast<double>(parameter->value()));
  if (!values.empty())
    state[kParametersKey] = foundation::PropertyList(std::move(values));
  if (const auto size = editorSize())
    state[kEditorSizeKey] = foundation::PropertyList(
        foundation::PropertyList::Dictionary{{"width", foundation::PropertyList(size->first)},
                                             {"height", foundation::PropertyList(size->second)}});
  if (definition_.saveExtras)
    definition_.saveExtras(unit_, state);
  const std::string xml = foundation::PropertyList(std::move(state)).toXML();
  // An atom:String counts its terminating zero.
  return store(handle, key_, xml.c_str(), xml.size() + 1, stringType_,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

PluginState::Restored PluginState::restore(LV2_State_Retrieve_Function retrieve,
                                           LV2_State_Handle handle) {
  if (!retrieve)
    return {LV2_STATE_ERR_UNKNOWN};
  std::size_t size = 0;
  std::uint32_t type = 0, flags = 0;
  const void* data = retrieve(handle, key_, &size, &type, &flags);
  if (!data)
    return restoreJuceState(retrieve, handle);
  const auto state = type == stringType_ ? decode(data, size) : std::nullopt;
  restoreFrom(state ? &*state : nullptr);
  if (!state)
    return {LV2_STATE_ERR_BAD_TYPE};
  return {LV2_STATE_SUCCESS, restoreParameters(state->find(kParametersKey))};
}

std::uint64_t PluginState::restoreParameters(const foundation::PropertyList* values) {
  const auto tree = unit_.parameterTree();
  if (!values || !values->dictionary() || !tree)
    return 0;
  std::uint64_t set = 0;
  for (const auto& row : definition_.parameters) {
    const foundation::PropertyList* value = values->find(std::string(row.identifier));
    const auto parameter = tree->parameterWithAddress(row.address);
    if (row.address >= 64 || !parameter || !value)
      continue;
    const double number = value->number().value_or(NAN);
    if (!std::isfinite(number))
      continue;
    parameter->setValue(foundation::withinRange(row, static_cast<float>(number)));
    set |= std::uint64_t{1} << row.address;
  }
  return set;
}

PluginState::Restored PluginState::restoreJuceState(LV2_State_Retrieve_Function retrieve,
                                                    LV2_State_Handle handle) {
  std::size_t size = 0;
  std::uint32_t type = 0, flags = 0;
  const void* data = retrieve(handle, juceKey_, &size, &type, &flags);
  if (!data)
    return {LV2_STATE_SUCCESS}; // a preset, or a host's state of no plug-in state: nothing to do
  auto state = type == stringType_ ? readJuceState(data, size, unit_) : std::nullopt;
  if (!state) {
    restoreFrom(nullptr);
    return {LV2_STATE_ERR_BAD_TYPE};
  }
  restoreEditorSize(state->find(kJuceEditorSizeKey));
  state->dictionary()->erase(kJuceEditorSizeKey); // the adapter's, not the unit's
  unit_.setFullState(state);
  if (definition_.restoreExtras)
    definition_.restoreExtras(unit_, &*state);
  return {LV2_STATE_SUCCESS, ~std::uint64_t{0}};
}

std::optional<foundation::PropertyList> PluginState::decode(const void* data, std::size_t size) {
  if (!data || size == 0 || size > kMaximumBytes)
    return std::nullopt;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (bytes[size - 1] == 0)
    --size;
  auto parsed = foundation::PropertyList::read(std::span(bytes, size));
  if (!parsed.value || !parsed.value->dictionary())
    return std::nullopt;
  const foundation::PropertyList* version = parsed.value->find(kVersionKey);
  if (!version || !version->integer() || *version->integer() < 1 || *version->integer() > kVersion)
    return std::nullopt;
  return std::move(parsed.value);
}

void PluginState::restoreFrom(const foundation::PropertyList* state) {
  restoreEditorSize(state ? state->find(kEditorSizeKey) : nullptr);
  if (definition_.restoreExtras)
    definition_.restoreExtras(unit_, state);
}

void PluginState::restoreEditorSize(const foundation::PropertyList* size) noexcept {
  int width = 0, height = 0;
  if (size) {
    const auto* w = size->find("width");
    const auto* h = size->find("height");
    if (w && h && w->integer() && h->integer() && *w->integer() > 0 && *h->integer() > 0 &&
        *w->integer() <= kMaximumEditorSide && *h->integer() <= kMaximumEditorSide) {
      width = static_cast<int>(*w->integer());
      height = static_cast<int>(*h->integer());
    }
  }
  setEditorSize(width, height);
}

} // namespace plugins::lv2
