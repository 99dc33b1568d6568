// The editor's "Tuning" button and its menu: equal temperament, a scale or a keyboard map read
// from a file, the loaded scale's description, and the pitch-bend range.
#pragma once

#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/toolkit/HouseStyle.h"
#include "platform/toolkit/PresetMenu.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace quorvane::editor {

// A button that opens the menu over its parent (the editor), drawn there as the preset bar's is,
// because hosts embed editors where no pop-up window may open. A file the unit refuses leaves
// its tuning as it was and shows the reason under the button until the menu opens again.
// Threads: message thread.
class TuningMenu : public juce::Component {
public:
  static constexpr const char* kTitle = "Tuning";
  static constexpr int kButtonWidth = 64, kButtonHeight = 20;
  static constexpr int kLargestBendRange = 24;

  enum class FileKind { scale, keyboardMap };
  using FileAnswer = std::function<void(std::optional<std::filesystem::path>)>;
  // The lines' items.
  enum Item : std::size_t {
    standard,
    description,
    loadScale,
    loadKeyboardMap,
    chooseRange,
    firstRange, // firstRange + r − 1 sets the range to ±r
  };

  TuningMenu();
  ~TuningMenu() override;

  // Wired by the editor: the unit shown (none while disconnected) and the bend range's value.
  std::function<unit::QuorvaneAudioUnit*()> unit;
  std::function<std::optional<float>()> bendRange;
  std::function<void(float)> setBendRange;
  // Asks the musician for a file; by default a file chooser in the shipped tunings.
  std::function<void(FileKind, FileAnswer)> requestFile;
  // After the unit's tuning changed from here.
  std::function<void()> onTuningChanged;

  // The menu's lines as it opens: the top level, or the list of ranges.
  std::vector<toolkit::PresetMenu::Line> menuLines() const;
  std::vector<toolkit::PresetMenu::Line> rangeLines() const;
  void showMenu();
  void menuChosen(std::optional<std::size_t> item);
  toolkit::PresetMenu& menu() noexcept { return menu_; }
  juce::Button& button() noexcept { return button_; }

  // What the last refused file was refused for; empty when none is shown.
  const juce::String& problem() const noexcept { return problem_; }
  // Shows why a tuning could not be had under the button; empty: nothing shown.
  void showProblem(juce::String problem);
  // Puts the button's top right corner here, in the parent; the reason shows under it.
  void placeAt(juce::Point<int> topRight);

  void loadFile(FileKind kind, const std::filesystem::path& file);

  void paint(juce::Graphics& g) override;
  void resized() override;

private:
  void open(std::vector<toolkit::PresetMenu::Line> lines);
  void fitBounds();

  toolkit::RoundedButton button_{kTitle, 11.0f};
  toolkit::PresetMenu menu_;
  juce::String problem_;
  juce::Point<int> topRight_;
  std::unique_ptr<juce::FileChooser> chooser_;
};

} // namespace quorvane::editor
