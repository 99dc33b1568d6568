// The preset pop-up of the host window's top bar, and the Save As name dialog.
#pragma once

#include "platform/audiounit/PresetManager.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace app {

// Shows the manager's items (separators, disabled entries and the selection included) and hands
// every choice to it. Until the synthesiser is ready it holds "Presets" alone and is disabled.
// Threads: message thread.
class PresetPopup : public juce::ComboBox {
public:
  // Takes over the manager's onChange and, when it has none, its name dialog.
  explicit PresetPopup(std::shared_ptr<PresetManager> manager);
  ~PresetPopup() override;

  const std::shared_ptr<PresetManager>& manager() const noexcept { return manager_; }
  // Fills the pop-up from the manager again.
  void refresh();
  // The menu as the box shows it, except that every choice reaches the manager, the current
  // item too (choosing the loaded preset again reloads it).
  void showPopup() override;

  // "Save Preset As": an asynchronous alert with a text field holding suggested; answer gets
  // the text when "Save" is pressed (Return), nothing on "Cancel" (Escape). No nested loop.
  static void askPresetName(const std::string& suggested,
                            std::function<void(std::optional<std::string>)> answer);

private:
  std::shared_ptr<PresetManager> manager_;
  bool refreshing_ = false;
};

} // namespace app
