// The preset pop-up over the preset manager, and the asynchronous name dialog.
#include "app/window/PresetPopup.h"

namespace app {

namespace {

constexpr int kSaveResult = 1;
constexpr int kCancelResult = 0;
const juce::String kNameField = "name";

// ComboBox ids must not be 0, which means "nothing selected".
int idOf(std::size_t index) { return static_cast<int>(index) + 1; }

} // namespace

PresetPopup::PresetPopup(std::shared_ptr<PresetManager> manager) : manager_(std::move(manager)) {
  juce::Component::SafePointer<PresetPopup> self(this);
  manager_->onChange = [self] {
    if (self != nullptr)
      self->refresh();
  };
  if (!manager_->requestName)
    manager_->requestName = &PresetPopup::askPresetName;
  onChange = [this] {
    if (refreshing_ || getSelectedId() == 0)
      return;
    manager_->choose(static_cast<std::size_t>(getSelectedId() - 1));
  };
  refresh();
}

PresetPopup::~PresetPopup() { manager_->onChange = nullptr; }

void PresetPopup::refresh() {
  // Filling the box must not read back as choices.
  const juce::ScopedValueSetter<bool> filling(refreshing_, true);
  clear(juce::dontSendNotification);
  const auto& items = manager_->items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].isSeparator) {
      addSeparator();
      continue;
    }
    addItem(juce::String::fromUTF8(items[i].title.c_str()), idOf(i));
    setItemEnabled(idOf(i), items[i].enabled);
  }
  if (const auto selected = manager_->selectedIndex())
    setSelectedId(idOf(*selected), juce::dontSendNotification);
  setEnabled(manager_->isEnabled());
}

void PresetPopup::showPopup() {
  juce::PopupMenu menu = *getRootMenu();
  const int selectedId = getSelectedId();
  for (juce::PopupMenu::MenuItemIterator iterator(menu, true); iterator.next();) {
    auto& item = iterator.getItem();
    if (item.itemID != 0)
      item.isTicked = item.itemID == selectedId;
  }
  menu.setLookAndFeel(&getLookAndFeel());
  juce::Component::SafePointer<PresetPopup> self(this);
  menu.showMenuAsync(juce::PopupMenu::Options()
                         .withTargetComponent(this)
                         .withInitiallySelectedItem(selectedId)
                         .withMinimumWidth(getWidth())
                         .withMaximumNumColumns(1)
                         .withStandardItemHeight(getHeight()),
                     [self](int result) {
                       if (self == nullptr)
                         return;
                       self->hidePopup();
                       if (result != 0)
                         self->manager_->choose(static_cast<std::size_t>(result - 1));
                     });
}

void PresetPopup::askPresetName(const std::string& suggested,
                                std::function<void(std::optional<std::string>)> answer) {
  auto* dialog = new juce::AlertWindow("Save Preset As", "Enter a name for the preset.",
                                       juce::MessageBoxIconType::NoIcon);
  dialog->addTextEditor(kNameField, juce::String::fromUTF8(suggested.c_str()));
  if (auto* field = dialog->getTextEditor(kNameField)) {
    field->setTextToShowWhenEmpty("Preset name", juce::Colours::grey);
    field->setSize(260, 24);
  }
  dialog->addButton("Save", kSaveResult, juce::KeyPress(juce::KeyPress::returnKey));
  dialog->addButton("Cancel", kCancelResult, juce::KeyPress(juce::KeyPress::escapeKey));
  // The callback runs before the dialog deletes itself, so it may still read the field.
  dialog->enterModalState(
      true, juce::ModalCallbackFunction::create([dialog, answer = std::move(answer)](int result) {
        std::optional<std::string> text;
        if (result == kSaveResult)
          text = dialog->getTextEditorContents(kNameField).toStdString();
        answer(std::move(text));
      }),
      true);
}

} // namespace app
