// A unit's editor as a plug-in shows it: the preset bar on top, the editor below.
#pragma once

#include "platform/audiounit/PresetManager.h"
#include "platform/toolkit/AUViewController.h"
#include "platform/toolkit/PresetBar.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace toolkit {

// The editor keeps its own layout in the space below the bar. The bar's manager follows the
// unit's own preset (so a host's program menu and a restored state show in the bar) and keeps
// user presets in userFolder, the folder the app uses for the same unit.
// Threads: message thread.
class EditorWithPresets : public juce::Component {
public:
  // owner holds editor (an editor's destructor is not public).
  EditorWithPresets(std::unique_ptr<juce::Component> owner, AUViewController& editor,
                    std::optional<std::filesystem::path> userFolder, std::string parametersKey,
                    juce::Colour barColour);
  ~EditorWithPresets() override;

  // Shows the unit in the editor and its presets in the bar.
  void setAudioUnit(std::shared_ptr<AUAudioUnit> unit);

  AUViewController& editor() noexcept { return editor_; }
  PresetBar& bar() noexcept { return bar_; }

  void resized() override;

private:
  std::unique_ptr<juce::Component> owner_;
  AUViewController& editor_;
  PresetBar bar_;
};

// The editor of Editor (a default-constructible AUViewController) with its bar, for a unit whose
// presets live in userFolder under parametersKey.
template <class Editor>
std::unique_ptr<EditorWithPresets>
makeEditorWithPresets(std::optional<std::filesystem::path> userFolder, std::string parametersKey,
                      juce::Colour barColour) {
  auto editor = std::make_unique<Editor>();
  AUViewController& shown = *editor;
  return std::make_unique<EditorWithPresets>(std::move(editor), shown, std::move(userFolder),
                                             std::move(parametersKey), barColour);
}

} // namespace toolkit
