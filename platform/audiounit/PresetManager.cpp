// The preset menu's contents, loading, saving and change tracking.
#include "app/host/PresetManager.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/NaturalOrder.h"

#include <algorithm>
#include <cctype>

namespace app {

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

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::shared_ptr<PresetManager> PresetManager::create(std::optional<fs::path> userFolder,
                                                     MainThreadPoster toMainThread) {
  return std::shared_ptr<PresetManager>(
      new PresetManager(std::move(userFolder), std::move(toMainThread)));
}

PresetManager::PresetManager(std::optional<fs::path> userFolder, MainThreadPoster toMainThread)
    : userFolder_(std::move(userFolder)), toMainThread_(std::move(toMainThread)) {
  items_.push_back({false, std::string(kPlaceholderTitle), {}, true});
  selected_ = 0;
}

PresetManager::~PresetManager() {
  if (paramObserverToken_ && audioUnit_)
    if (auto tree = audioUnit_->parameterTree())
      tree->removeParameterObserver(*paramObserverToken_);
}

void PresetManager::changed() {
  if (onChange)
    onChange();
}

void PresetManager::synthesiserDidLoad(std::shared_ptr<AUAudioUnit> synthesiser) {
  audioUnit_ = std::move(synthesiser);
  if (!audioUnit_)
    return;
  if (const auto presets = audioUnit_->factoryPresets(); !presets.empty())
    currentPresetID_ = CurrentPresetID::factory(presets.front().number);
  rebuildMenu();
  takeSnapshot();
  if (auto tree = audioUnit_->parameterTree()) {
    std::weak_ptr<PresetManager> weak = weak_from_this();
    const MainThreadPoster post = toMainThread_;
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

bool PresetManager::userPresetChanged() const {
  auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr;
  if (currentPresetID_.kind != CurrentPresetID::Kind::user || !tree)
    return false;
  for (const auto& parameter : tree->allParameters()) {
    const auto found = snapshot_.find(parameter->identifier());
    // Exact: moving a knob back to exactly its loaded value counts as no change.
    if (found != snapshot_.end() && found->second != parameter->value())
      return true;
  }
  return false;
}

void PresetManager::updateSave() {
  const bool enable = userPresetChanged();
  if (!saveItem_ || items_[*saveItem_].enabled == enable)
    return;
  items_[*saveItem_].enabled = enable;
  changed();
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
  audioUnit_->setCurrentPreset(preset);
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
  audioUnit_->setCurrentPreset(std::nullopt);
  audioUnit_->setFullState(std::move(parsed.value));
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
  const auto name = presetName(enteredName);
  if (!name || !userFolder_)
    return;
  std::error_code ignored;
  fs::create_directories(*userFolder_, ignored);
  const fs::path location = *userFolder_ / (*name + "." + std::string(kExtension));
  writePresetFile(*name, location);
  currentPresetID_ = CurrentPresetID::user(location);
  rebuildMenu();
  takeSnapshot();
  updateSave();
}

void PresetManager::writePresetFile(const std::string& name, const fs::path& location) const {
  PropertyList::Dictionary root{{"name", PropertyList(name)}};
  if (auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr) {
    PropertyList::Dictionary parameters;
    for (const auto& parameter : tree->allParameters())
      parameters[parameter->identifier()] = PropertyList(parameter->value());
    root["quorvaneParams"] = PropertyList(std::move(parameters));
  }
  // Failures are silent: the menu simply has no item for a file that was not written.
  foundation::writeFileAtomically(location, PropertyList(std::move(root)).toXML());
}

} // namespace app
