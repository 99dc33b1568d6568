// The preset bar's menu: the presets as a list under the bar, drawn inside the editor.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace toolkit {

// Hosts embed editors in windows of their own and some allow no other, so the menu is a child
// of the editor: it covers its parent (a click outside the list closes it) and shows the list
// at the place it is given, scrolling when the parent is too low for it. Up, Down and Enter
// choose as in any menu; Escape closes it.
// Threads: message thread.
class PresetMenu : public juce::Component, private juce::ListBoxModel {
public:
  static constexpr int kRowHeight = 22;

  struct Line {
    std::size_t item; // what choosing it hands back
    juce::String title;
    bool ticked = false;
    bool startsSection = false; // drawn with a rule above it
    bool enabled = true;        // shown, but not chosen
    bool operator==(const Line&) const = default;
  };

  PresetMenu();
  ~PresetMenu() override;

  // Told once when it closes: the chosen line's item, or nothing.
  std::function<void(std::optional<std::size_t>)> onClose;

  // Opens over parent with the list's top left at anchor, at least minimumWidth wide.
  void open(std::vector<Line> lines, juce::Component& parent, juce::Point<int> anchor,
            int minimumWidth);
  bool isOpen() const noexcept { return getParentComponent() != nullptr; }
  const std::vector<Line>& lines() const noexcept { return lines_; }
  // The row the keys stand on (the ticked one when it opens).
  int highlightedRow() const { return list_.getSelectedRow(); }

  void choose(int row);
  void dismiss();

  void paint(juce::Graphics& g) override;
  void mouseDown(const juce::MouseEvent& event) override;
  bool keyPressed(const juce::KeyPress& key) override;

private:
  int getNumRows() override;
  void paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) override;
  void listBoxItemClicked(int row, const juce::MouseEvent& event) override;
  void returnKeyPressed(int row) override;
  void close(std::optional<std::size_t> chosen);

  std::vector<Line> lines_;
  juce::ListBox list_;
};

} // namespace toolkit
