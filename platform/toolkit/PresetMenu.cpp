// The preset list: opening, drawing, choosing and closing.
#include "platform/toolkit/PresetMenu.h"

#include "platform/toolkit/HouseStyle.h"

#include <algorithm>

namespace toolkit {

namespace {

constexpr int kTickWidth = 22;
const juce::Colour kHighlight{0xff2f6fd0};

} // namespace

PresetMenu::PresetMenu() : list_("presets", this) {
  list_.setRowHeight(kRowHeight);
  list_.setColour(juce::ListBox::backgroundColourId, kBezel);
  list_.setColour(juce::ListBox::outlineColourId, kBezelEdge);
  list_.setOutlineThickness(1);
  addAndMakeVisible(list_);
  setWantsKeyboardFocus(true);
}

PresetMenu::~PresetMenu() { list_.setModel(nullptr); }

void PresetMenu::open(std::vector<Line> lines, juce::Component& parent, juce::Point<int> anchor,
                      int minimumWidth) {
  lines_ = std::move(lines);
  const juce::Font font = semiboldFont(12.0f);
  int width = minimumWidth;
  for (const Line& line : lines_)
    width =
        std::max(width, kTickWidth + 16 + juce::roundToInt(font.getStringWidthFloat(line.title)));
  parent.addAndMakeVisible(this);
  setBounds(parent.getLocalBounds());
  const int room = std::max(kRowHeight, getHeight() - anchor.y - 4);
  const int height = std::min(room, static_cast<int>(lines_.size()) * kRowHeight + 2);
  // Moved left rather than cut off where the parent ends.
  anchor.x = std::max(0, std::min(anchor.x, getWidth() - width));
  width = std::min(width, getWidth() - anchor.x);
  list_.setBounds(anchor.x, anchor.y, std::max(width, 0), height);
  list_.updateContent();
  const auto ticked =
      std::find_if(lines_.begin(), lines_.end(), [](const Line& l) { return l.ticked; });
  if (ticked != lines_.end()) {
    const int row = static_cast<int>(ticked - lines_.begin());
    list_.selectRow(row);
    list_.scrollToEnsureRowIsOnscreen(row);
  } else {
    list_.deselectAllRows();
  }
  toFront(false);
  if (isShowing())
    list_.grabKeyboardFocus();
}

void PresetMenu::choose(int row) {
  if (row >= 0 && row < static_cast<int>(lines_.size()) &&
      lines_[static_cast<std::size_t>(row)].enabled)
    close(lines_[static_cast<std::size_t>(row)].item);
}

void PresetMenu::dismiss() { close(std::nullopt); }

void PresetMenu::close(std::optional<std::size_t> chosen) {
  if (!isOpen())
    return;
  getParentComponent()->removeChildComponent(this);
  // Last: what it calls may open the menu again, or end the bar it belongs to.
  if (onClose)
    onClose(chosen);
}

void PresetMenu::paint(juce::Graphics& g) {
  // A shadow under the list; the rest of the parent shows through.
  g.setColour(juce::Colours::black.withAlpha(0.25f));
  g.fillRect(list_.getBounds().translated(2, 3));
}

void PresetMenu::mouseDown(const juce::MouseEvent&) { dismiss(); }

bool PresetMenu::keyPressed(const juce::KeyPress& key) {
  if (key == juce::KeyPress::escapeKey) {
    dismiss();
    return true;
  }
  return false;
}

int PresetMenu::getNumRows() { return static_cast<int>(lines_.size()); }

void PresetMenu::paintListBoxItem(int row, juce::Graphics& g, int width, int height,
                                  bool selected) {
  if (row < 0 || row >= static_cast<int>(lines_.size()))
    return;
  const Line& line = lines_[static_cast<std::size_t>(row)];
  if (selected) {
    g.setColour(kHighlight);
    g.fillRect(0, 0, width, height);
  }
  if (line.startsSection) {
    g.setColour(kBezelEdge);
    g.drawHorizontalLine(0, 4.0f, static_cast<float>(width) - 4.0f);
  }
  const juce::Colour text = selected ? juce::Colours::white : kBezelText;
  g.setColour(line.enabled ? text : text.withAlpha(0.55f));
  g.setFont(semiboldFont(12.0f));
  if (line.ticked)
    g.drawText(juce::String::fromUTF8("\xe2\x9c\x93"), 0, 0, kTickWidth, height,
               juce::Justification::centred);
  g.drawText(line.title, kTickWidth, 0, width - kTickWidth - 8, height,
             juce::Justification::centredLeft, true);
}

void PresetMenu::listBoxItemClicked(int row, const juce::MouseEvent&) { choose(row); }

void PresetMenu::returnKeyPressed(int row) { choose(row); }

} // namespace toolkit
