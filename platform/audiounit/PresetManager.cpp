// The preset menu's contents, loading, saving and change tracking.
#include "platform/audiounit/PresetManager.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/NaturalOrder.h"

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;
using foundation::PropertyList;

namespace {

const std::string kSaveTitle = "Save";
const std::string kSaveAsTitle = "Save As\u2026";

bool isPresetFile(const fs::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension.size() == PresetManager::kExtension.size() + 1 &&
         extension.substr(1) == PresetManager::kExtension;
}

// While the manager sets the unit's preset itself, so its own observer does not follow it.
struct LoadingGuard {
  explicit LoadingGuard(bool& flag) : flag(flag) { flag = true; }
  ~LoadingGuard() { flag = false; }
  LoadingGuard(const LoadingGuard&) = delete;
  LoadingGuard& operator=(const LoadingGuard&) = delete;
  bool& flag;
};

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::shared_ptr<PresetManager> PresetManager::create(std::optional<fs::path> userFolder,
                                                     MainThreadPoster toMainThread,
                                                     std::string parametersKey, Follow follow) {
  return std::shared_ptr<PresetManager>(new PresetManager(
      std::move(userFolder), std::move(toMainThread), std::move(parametersKey), follow));
}

PresetManager::PresetManager(std::optional<fs::path> userFolder, MainThreadPoster toMainThread,
                             std::string parametersKey, Follow follow)
    : userFolder_(std::move(userFolder)), toMainThread_(std::move(toMainThread)),
      parametersKey_(std::move(parametersKey)), follow_(follow) {
  items_.push_back({false, std::string(kPlaceholderTitle), {}, true});
  selected_ = 0;
}

PresetManager::~PresetManager() { removeObservers(); }

void PresetManager::removeObservers() {
  if (!audioUnit_)
    return;
  if (paramObserverToken_)
    if (auto tree = audioUnit_->parameterTree())
      tree->removeParameterObserver(*std::exchange(paramObserverToken_, std::nullopt));
  if (presetObserverToken_ != kAUNoObserverToken)
    audioUnit_->removeCurrentPresetObserver(
        std::exchange(presetObserverToken_, kAUNoObserverToken));
}

void PresetManager::changed() {
  if (onChange)
    onChange();
}

void PresetManager::synthesiserDidLoad(std::shared_ptr<AUAudioUnit> synthesiser) {
  removeObservers();
  audioUnit_ = std::move(synthesiser);
  if (!audioUnit_)
    return;
  if (follow_ == Follow::unitsPreset)
    currentPresetID_ = idOfUnitsPreset();
  else if (const auto presets = audioUnit_->factoryPresets(); !presets.empty())
    currentPresetID_ = CurrentPresetID::factory(presets.front().number);
  rebuildMenu();
  takeSnapshot();
  updateSave();
  std::weak_ptr<PresetManager> weak = weak_from_this();
  const MainThreadPoster post = toMainThread_;
  if (follow_ == Follow::unitsPreset)
    presetObserverToken_ = audioUnit_->tokenByAddingCurrentPresetObserver([weak, post] {
      // Its own loads are followed as they happen; a host's may come on any thread.
      if (auto manager = weak.lock(); manager && manager->loading_)
        return;
      post([weak] {
        if (auto manager = weak.lock())
          manager->followUnitsPreset();
      });
    });
  if (auto tree = audioUnit_->parameterTree()) {
    const auto token =
        tree->tokenByAddingParameterObserver([weak, post](AUParameterAddress, AUValue) {
          post([weak] {
            if (auto manager = weak.lock())
              manager->updateSave();
          });
        });
    if (token != kAUNoObserverToken)
      paramObserverToken_ = token;
  }
}

CurrentPresetID PresetManager::idOfUnitsPreset() const {
  const auto preset = audioUnit_ ? audioUnit_->currentPreset() : std::nullopt;
  if (!preset)
    return {};
  if (preset->number >= 0) {
    for (const auto& listed : audioUnit_->factoryPresets())
      if (listed.number == preset->number)
        return CurrentPresetID::factory(preset->number);
    return {};
  }
  // A user preset, or a state a host restored, named as the file it came from.
  for (auto& file : userPresetFiles())
    if (file.stem().string() == preset->name)
      return CurrentPresetID::user(std::move(file));
  return {};
}

void PresetManager::followUnitsPreset() {
  if (!audioUnit_)
    return;
  currentPresetID_ = idOfUnitsPreset();
  selected_ = 0;
  reselectCurrentItem();
  takeSnapshot();
  updateSave();
  changed();
}

void PresetManager::recognisePreset() {
  auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr;
  if (!tree || !makeScratchUnit)
    return;
  if (!scratch_)
    scratch_ = makeScratchUnit();
  auto scratchTree = scratch_ ? scratch_->parameterTree() : nullptr;
  if (!scratchTree)
    return;
  const auto holds = [&] {
    for (const auto& parameter : tree->allParameters()) {
      const auto other = scratchTree->parameterWithIdentifier(parameter->identifier());
      if (!other || other->value() != parameter->value())
        return false;
    }
    return true;
  };
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const auto& represented = items_[i].represented;
    CurrentPresetID id;
    if (const auto* preset = std::get_if<AUAudioUnitPreset>(&represented)) {
      scratch_->setCurrentPreset(*preset);
      id = CurrentPresetID::factory(preset->number);
    } else if (const auto* location = std::get_if<fs::path>(&represented)) {
      const auto bytes = foundation::readWholeFile(*location, kMaxPresetFileBytes);
      auto parsed = bytes ? PropertyList::read(*bytes).value : std::nullopt;
      if (!parsed || !parsed->dictionary())
        continue;
      scratch_->setFullState(std::move(parsed));
      id = CurrentPresetID::user(*location);
    } else {
      continue;
    }
    if (!holds())
      continue;
    if (id == currentPresetID_)
      return;
    currentPresetID_ = std::move(id);
    selected_ = i;
    takeSnapshot();
    updateSave();
    changed();
    return;
  }
}

std::string PresetManager::currentTitle() const {
  const bool listed =
      currentPresetID_.kind != CurrentPresetID::Kind::none || follow_ == Follow::parameters;
  if (listed && selected_ && *selected_ < items_.size())
    return items_[*selected_].title;
  const auto preset = audioUnit_ ? audioUnit_->currentPreset() : std::nullopt;
  return preset && !preset->name.empty() ? preset->name : "Untitled";
}

void PresetManager::step(int direction) {
  std::vector<std::size_t> presets;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].isPreset())
      presets.push_back(i);
  if (presets.empty() || direction == 0)
    return;
  const auto at = std::find(presets.begin(), presets.end(), selected_.value_or(items_.size()));
  const bool listed = currentPresetID_.kind != CurrentPresetID::Kind::none && at != presets.end();
  const auto count = static_cast<std::ptrdiff_t>(presets.size());
  std::ptrdiff_t next = direction > 0 ? 0 : count - 1;
  if (listed)
    next = ((at - presets.begin()) + (direction > 0 ? 1 : -1) + count) % count;
  choose(presets[static_cast<std::size_t>(next)]);
}

std::optional<fs::path> PresetManager::userPresetLocation(std::string_view enteredName) const {
  const auto name = presetName(enteredName);
  if (!name || !userFolder_)
    return std::nullopt;
  // The file the menu lists under that name, whatever the case of its extension.
  for (auto& file : userPresetFiles())
    if (file.stem().string() == *name)
      return std::move(file);
  return *userFolder_ / (*name + "." + std::string(kExtension));
}

std::vector<fs::path> PresetManager::userPresetFiles() const {
  std::vector<fs::path> files;
  if (!userFolder_)
    return files;
  // A folder that does not exist yet, or cannot be read, lists nothing.
  auto entries = foundation::listFolder(*userFolder_);
  if (!entries)
    return files;
  for (auto& entry : *entries)
    if (isPresetFile(entry))
      files.push_back(std::move(entry));
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    return foundation::naturalLess(a.filename().string(), b.filename().string());
  });
  return files;
}

void PresetManager::rebuildMenu() {
  if (!audioUnit_)
    return;
  items_.clear();
  for (const auto& preset : audioUnit_->factoryPresets())
    items_.push_back({false, preset.name, preset, true});
  const auto files = userPresetFiles();
  if (!files.empty()) {
    items_.push_back({true, {}, {}, false});
    for (const auto& file : files)
      items_.push_back({false, file.stem().string(), file, true});
  }
  items_.push_back({true, {}, {}, false});
  saveItem_ = items_.size();
  items_.push_back({false, kSaveTitle, SaveCommand::save, false});
  items_.push_back({false, kSaveAsTitle, SaveCommand::saveAs, true});
  enabled_ = true;
  selected_ = 0; // where a freshly filled pop-up stands when nothing matches
  reselectCurrentItem();
  updateSave();
  changed();
}

void PresetManager::reselectCurrentItem() {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const auto& represented = items_[i].represented;
    const auto* preset = std::get_if<AUAudioUnitPreset>(&represented);
    const auto* location = std::get_if<fs::path>(&represented);
    bool match = false;
    switch (currentPresetID_.kind) {
    case CurrentPresetID::Kind::factory:
      match = preset && preset->number == currentPresetID_.number;
      break;
    case CurrentPresetID::Kind::user:
      match = location && *location == currentPresetID_.location;
      break;
    case CurrentPresetID::Kind::none:
      match = preset != nullptr;
      break;
    }
    if (match) {
      selected_ = i;
      return;
    }
  }
}

bool PresetManager::saveEnabled() const noexcept { return saveItem_ && items_[*saveItem_].enabled; }

bool PresetManager::differsFromSnapshot() const {
  auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr;
  if (!tree)
    return false;
  for (const auto& parameter : tree->allParameters()) {
    const auto found = snapshot_.find(parameter->identifier());
    // Exact: moving a knob back to exactly its loaded value counts as no change.
    if (found != snapshot_.end() && found->second != parameter->value())
      return true;
  }
  return false;
}

bool PresetManager::userPresetChanged() const {
  return currentPresetID_.kind == CurrentPresetID::Kind::user && differsFromSnapshot();
}

void PresetManager::updateSave() {
  const bool differs = differsFromSnapshot();
  const bool enable = differs && currentPresetID_.kind == CurrentPresetID::Kind::user;
  const bool saveChanged = saveItem_ && items_[*saveItem_].enabled != enable;
  if (saveChanged)
    items_[*saveItem_].enabled = enable;
  if (saveChanged || differs != changed_) {
    changed_ = differs;
    changed();
  }
}

void PresetManager::takeSnapshot() {
  snapshot_.clear();
  auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr;
  if (!tree)
    return;
  for (const auto& parameter : tree->allParameters())
    snapshot_[parameter->identifier()] = parameter->value();
}

void PresetManager::choose(std::size_t index) {
  if (index >= items_.size() || items_[index].isSeparator)
    return;
  const PresetMenuItem::Represented represented = items_[index].represented;
  if (const auto* preset = std::get_if<AUAudioUnitPreset>(&represented)) {
    selected_ = index;
    loadFactoryPreset(*preset);
  } else if (const auto* location = std::get_if<fs::path>(&represented)) {
    // A file that does not load leaves the choice showing, and nothing else changed.
    selected_ = index;
    loadUserPreset(*location);
  } else if (const auto* command = std::get_if<SaveCommand>(&represented)) {
    if (*command == SaveCommand::save)
      save();
    else
      saveAsCommand();
    reselectCurrentItem();
  }
  changed();
}

void PresetManager::loadFactoryPreset(const AUAudioUnitPreset& preset) {
  if (!audioUnit_)
    return;
  {
    const LoadingGuard loading(loading_);
    audioUnit_->setCurrentPreset(preset);
  }
  currentPresetID_ = CurrentPresetID::factory(preset.number);
  takeSnapshot();
  updateSave();
}

void PresetManager::loadUserPreset(const fs::path& file) {
  if (!audioUnit_)
    return;
  const auto bytes = foundation::readWholeFile(file, kMaxPresetFileBytes);
  if (!bytes)
    return;
  auto parsed = PropertyList::read(*bytes);
  if (!parsed.value || !parsed.value->dictionary())
    return;
  {
    const LoadingGuard loading(loading_);
    audioUnit_->setCurrentPreset(std::nullopt);
    audioUnit_->setFullState(std::move(parsed.value));
    if (follow_ == Follow::unitsPreset)
      audioUnit_->setCurrentPreset(AUAudioUnitPreset{-1, file.stem().string()});
  }
  currentPresetID_ = CurrentPresetID::user(file);
  takeSnapshot();
  updateSave();
}

void PresetManager::save() {
  if (!userPresetChanged())
    return;
  writePresetFile(currentPresetID_.location.stem().string(), currentPresetID_.location);
  takeSnapshot();
  updateSave();
}

std::string PresetManager::suggestedName() const {
  switch (currentPresetID_.kind) {
  case CurrentPresetID::Kind::factory:
    if (audioUnit_)
      for (const auto& preset : audioUnit_->factoryPresets())
        if (preset.number == currentPresetID_.number)
          return "My " + preset.name;
    return "My Preset";
  case CurrentPresetID::Kind::user:
    return currentPresetID_.location.stem().string();
  case CurrentPresetID::Kind::none:
    break;
  }
  return "My Preset";
}

void PresetManager::saveAsCommand() {
  if (!requestName)
    return;
  std::weak_ptr<PresetManager> weak = weak_from_this();
  requestName(suggestedName(), [weak](std::optional<std::string> entered) {
    auto manager = weak.lock();
    if (manager && entered)
      manager->saveAs(*entered);
  });
}

std::optional<std::string> PresetManager::presetName(std::string_view entered) {
  while (!entered.empty() && isSpace(entered.front()))
    entered.remove_prefix(1);
  while (!entered.empty() && isSpace(entered.back()))
    entered.remove_suffix(1);
  // A separator would put the file outside the presets folder ("../../x"), or in a folder
  // the menu never lists.
  if (entered.empty() || entered.find('/') != std::string_view::npos)
    return std::nullopt;
  return std::string(entered);
}

void PresetManager::saveAs(std::string_view enteredName) {
  const auto location = userPresetLocation(enteredName);
  if (!location)
    return;
  std::error_code ignored;
  fs::create_directories(*userFolder_, ignored);
  writePresetFile(location->stem().string(), *location);
  currentPresetID_ = CurrentPresetID::user(*location);
  if (follow_ == Follow::unitsPreset && audioUnit_) {
    const LoadingGuard loading(loading_);
    audioUnit_->setCurrentPreset(AUAudioUnitPreset{-1, location->stem().string()});
  }
  rebuildMenu();
  takeSnapshot();
  updateSave();
}

void PresetManager::writePresetFile(const std::string& name, const fs::path& location) const {
  PropertyList::Dictionary root{{"name", PropertyList(name)}};
  // What else the unit keeps in its state (the synthesiser's tuning) travels with the sound.
  if (auto state = audioUnit_ ? audioUnit_->fullState() : std::nullopt;
      state && state->dictionary())
    for (auto& [key, value] : *state->dictionary())
      if (key != "version" && key != "type" && key != "subtype" && key != "manufacturer" &&
          key != "name" && key != parametersKey_)
        root[key] = std::move(value);
  if (auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr) {
    PropertyList::Dictionary parameters;
    for (const auto& parameter : tree->allParameters())
      parameters[parameter->identifier()] = PropertyList(parameter->value());
    root[parametersKey_] = PropertyList(std::move(parameters));
  }
  // Failures are silent: the menu simply has no item for a file that was not written.
  foundation::writeFileAtomically(location, PropertyList(std::move(root)).toXML());
}
