// The preset bar of a plug-in's editor: the current preset by name as a pop-up menu, stepping
// through the presets, Save and Save As, with the name asked for in the bar itself.
#pragma once

#include "platform/audiounit/PresetManager.h"
#include "platform/toolkit/HouseStyle.h"
#include "platform/toolkit/PresetMenu.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace toolkit {

// ◀ [name ▾] ▶  Save  Save As…: the menu (PresetMenu) lists the manager's factory presets, then
// its user presets, the current one ticked; a changed sound shows its name in italics with a mark.
// Save As turns the bar into a prompt (a host may embed the editor where no window of its own
// can open): a field with the suggested name, Enter or "Save" to accept, Escape or "Cancel" to
// give up. A name the manager refuses keeps the prompt open with the reason; the name of an
// existing user preset asks before replacing it.
// Threads: message thread.
class PresetBar : public juce::Component {
public:
  static constexpr int kHeight = 32;
  static constexpr const char* kChangedMark = " *";

  // Takes over the manager's onChange and name request.
  PresetBar(std::shared_ptr<PresetManager> manager, juce::Colour background);
  ~PresetBar() override;

  const std::shared_ptr<PresetManager>& manager() const noexcept { return manager_; }
  // Shows the manager's state again.
  void refresh();

  // What the name button shows: the title, with the mark when changed.
  juce::String shownName() const;
  bool showsChanged() const noexcept { return showsChanged_; }

  // The menu's lines as it opens: the manager's presets, each handing back its item's index.
  std::vector<PresetMenu::Line> menuLines() const;
  // Opens it under the name button, over the bar's parent (the editor below), after reading
  // the user folder again; a bar without a parent has no room for it.
  void showMenu();
  PresetMenu& menu() noexcept { return menu_; }
  // What the menu handed back: the manager's item, or nothing.
  void menuChosen(std::optional<std::size_t> item);

  enum class Mode { presets, askingName, askingReplace };
  Mode mode() const noexcept { return mode_; }
  // The prompt: what the field holds, and accepting or cancelling it as its buttons do.
  // While asking for a name.
  juce::TextEditor& nameField() noexcept { return *nameField_; }
  juce::String promptText() const { return prompt_.getText(); }
  void accept();
  void cancel();

  juce::Button& previousButton() noexcept { return previous_; }
  juce::Button& nextButton() noexcept { return next_; }
  juce::Button& nameButton() noexcept { return name_; }
  juce::Button& saveButton() noexcept { return save_; }
  juce::Button& saveAsButton() noexcept { return saveAs_; }

  void paint(juce::Graphics& g) override;
  void resized() override;

private:
  class NameButton : public juce::Button {
  public:
    NameButton();
    void paintButton(juce::Graphics& g, bool highlighted, bool down) override;
    bool italic = false;
  };

  using Answer = std::function<void(std::optional<std::string>)>;
  bool marksChange() const;
  void askName(const std::string& suggested, Answer answer);
  void setMode(Mode mode);

  std::shared_ptr<PresetManager> manager_;
  juce::Colour background_;
  RoundedButton previous_{juce::String::fromUTF8("\xe2\x97\x80"), 11.0f};
  RoundedButton next_{juce::String::fromUTF8("\xe2\x96\xb6"), 11.0f};
  NameButton name_;
  PresetMenu menu_;
  RoundedButton save_{"Save", 12.0f};
  RoundedButton saveAs_{juce::String::fromUTF8("Save As\xe2\x80\xa6"), 12.0f};
  juce::Label prompt_;
  std::unique_ptr<juce::TextEditor> nameField_;
  RoundedButton confirm_{"Save", 12.0f};
  RoundedButton dismiss_{"Cancel", 12.0f};
  Mode mode_ = Mode::presets;
  Answer answer_;
  std::string pendingName_; // the name whose file would be replaced
  bool showsChanged_ = false;
};

} // namespace toolkit
