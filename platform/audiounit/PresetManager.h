// A unit's preset menu without a window: factory and user presets, Save and Save As, and the
// change tracking behind the enabling of Save. The app's top bar and the plug-ins' preset bars
// show it.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Which preset was loaded last.
struct CurrentPresetID {
  enum class Kind { none, factory, user };
  Kind kind = Kind::none;
  long number = 0;                // factory
  std::filesystem::path location; // user

  static CurrentPresetID factory(long number) { return {Kind::factory, number, {}}; }
  static CurrentPresetID user(std::filesystem::path location) {
    return {Kind::user, 0, std::move(location)};
  }
  bool operator==(const CurrentPresetID&) const = default;
};

enum class SaveCommand { save, saveAs };

// One entry of the pop-up: a separator, or a title with what choosing it means.
struct PresetMenuItem {
  using Represented =
      std::variant<std::monostate, AUAudioUnitPreset, std::filesystem::path, SaveCommand>;

  bool isSeparator = false;
  std::string title;
  Represented represented;
  bool enabled = true;

  // A factory or user preset (not a separator or a command).
  bool isPreset() const noexcept {
    return std::holds_alternative<AUAudioUnitPreset>(represented) ||
           std::holds_alternative<std::filesystem::path>(represented);
  }
};

// Threads: every member on the main thread. The observers it installs on the unit are called on
// any thread and only post work to the main thread, holding the manager weakly.
class PresetManager : public std::enable_shared_from_this<PresetManager> {
public:
  // Runs a task on the main thread, later; callable from any thread.
  using MainThreadPoster = std::function<void(std::function<void()>)>;
  // Asks for a preset name, suggesting one; answers with what was entered, or nothing when
  // cancelled. May answer later (an asynchronous dialog), on the main thread.
  using NameRequest = std::function<void(const std::string& suggested,
                                         std::function<void(std::optional<std::string>)> answer)>;

  static constexpr std::string_view kExtension = "aupreset";
  static constexpr std::string_view kPlaceholderTitle = "Presets";
  // Larger files are not presets; reading them would only cost memory.
  static constexpr std::size_t kMaxPresetFileBytes = std::size_t{16} << 20;

  // How the manager starts and what it hears of the unit.
  enum class Follow {
    // The app's: the first factory preset is current at start, and only parameter changes are
    // heard.
    parameters,
    // A plug-in's: the unit's own current preset is current at start and whenever a host sets
    // it (its program menu, a restored state); a loaded user preset becomes the unit's current
    // preset by name (a negative number, as unit hosts name user presets), so a host's saved
    // state names it.
    unitsPreset,
  };

  // userFolder: where user presets live (nothing: no user presets, and Save As does nothing).
  // parametersKey: the unit's key of its parameter dictionary in preset files.
  static std::shared_ptr<PresetManager> create(std::optional<std::filesystem::path> userFolder,
                                               MainThreadPoster toMainThread,
                                               std::string parametersKey = "quorvaneParams",
                                               Follow follow = Follow::parameters);
  // Removes its observers.
  ~PresetManager();
  PresetManager(const PresetManager&) = delete;
  PresetManager& operator=(const PresetManager&) = delete;

  // Told after the menu, its selection or the enabling of an item changed.
  std::function<void()> onChange;
  // The name dialog; without one Save As does nothing.
  NameRequest requestName;
  // Makes a unit like the one shown, to try presets on; with one, recognisePreset can tell which
  // listed preset the unit holds.
  std::function<std::shared_ptr<AUAudioUnit>()> makeScratchUnit;

  // The synthesiser is ready: the first factory preset (or, following the unit's preset, that
  // one) becomes the current one (the unit's own preset is left alone), the menu is built, the
  // snapshot taken and the observers installed.
  void synthesiserDidLoad(std::shared_ptr<AUAudioUnit> synthesiser);

  // The pop-up: "Presets" alone and disabled until the synthesiser is ready.
  const std::vector<PresetMenuItem>& items() const noexcept { return items_; }
  bool isEnabled() const noexcept { return enabled_; }
  std::optional<std::size_t> selectedIndex() const noexcept { return selected_; }
  bool saveEnabled() const noexcept;
  // Some parameter differs from its value right after the last load or save, whichever kind of
  // preset is current.
  bool isChanged() const noexcept { return changed_; }
  // What the current preset is called: the selected item's title, or, when the unit holds no
  // preset the menu lists, its preset's name ("Untitled" without one).
  std::string currentTitle() const;

  // The pop-up's action with the chosen item. A command leaves the current item selected.
  void choose(std::size_t index);

  // Loads the preset after (+1) or before (-1) the current one in the menu, wrapping round;
  // from none, the first (or the last).
  void step(int direction);

  // The listed preset whose values the unit holds exactly, if there is one and it is not the
  // current one already, becomes the current one: for hosts that set values alone (an LV2
  // host's presets, a restored session). Otherwise nothing changes.
  void recognisePreset();

  void loadFactoryPreset(const AUAudioUnitPreset& preset);
  void loadUserPreset(const std::filesystem::path& file);
  void save();
  // Asks for a name, then saves under it (saveAs below).
  void saveAsCommand();
  // Preset files hold the name and every parameter's value, and whatever else the unit keeps in
  // its state beyond the platform's keys (the synthesiser's tuning, when it has one).
  // Writes the current values as a new user preset named by the dialog's answer; an answer that
  // is empty after trimming, or names a file outside the folder, is ignored.
  void saveAs(std::string_view enteredName);

  std::string suggestedName() const;
  // Where a user preset of that name lives (the listed file of that name, else a new one);
  // nothing for a name presetName refuses or without a user folder.
  std::optional<std::filesystem::path> userPresetLocation(std::string_view name) const;
  // The user preset files, in the order a file browser shows them.
  std::vector<std::filesystem::path> userPresetFiles() const;
  void rebuildMenu();
  void updateSave();

  const CurrentPresetID& currentPresetID() const noexcept { return currentPresetID_; }
  const std::map<std::string, float>& loadedStateSnapshot() const noexcept { return snapshot_; }
  const std::optional<std::filesystem::path>& userFolder() const noexcept { return userFolder_; }

  // The name a dialog's text gives: trimmed of white space and line breaks at both ends;
  // nothing when that is empty or holds a path separator.
  static std::optional<std::string> presetName(std::string_view entered);

private:
  PresetManager(std::optional<std::filesystem::path> userFolder, MainThreadPoster toMainThread,
                std::string parametersKey, Follow follow);
  // The unit's current preset, as the menu names it.
  CurrentPresetID idOfUnitsPreset() const;
  void followUnitsPreset();
  void removeObservers();
  void takeSnapshot();
  bool differsFromSnapshot() const;
  // A user preset is current and some parameter differs from its snapshot.
  bool userPresetChanged() const;
  void reselectCurrentItem();
  void writePresetFile(const std::string& name, const std::filesystem::path& location) const;
  void changed();

  std::optional<std::filesystem::path> userFolder_;
  MainThreadPoster toMainThread_;
  std::string parametersKey_;
  Follow follow_;
  std::shared_ptr<AUAudioUnit> audioUnit_;
  std::vector<PresetMenuItem> items_;
  std::optional<std::size_t> selected_;
  std::optional<std::size_t> saveItem_;
  bool enabled_ = false;
  CurrentPresetID currentPresetID_;
  std::map<std::string, float> snapshot_;
  std::shared_ptr<AUAudioUnit> scratch_; // made once, when first needed
  bool changed_ = false;
  bool loading_ = false; // the unit's preset is being set by this manager
  std::optional<AUParameterObserverToken> paramObserverToken_;
  AUObserverToken presetObserverToken_ = kAUNoObserverToken;
};
