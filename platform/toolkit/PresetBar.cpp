// The preset bar: its controls, its menu and its prompt.
#include "platform/toolkit/PresetBar.h"

#include <filesystem>

namespace toolkit {

namespace {

constexpr int kMargin = 6;
constexpr int kGap = 4;
constexpr int kButtonHeight = 22;
constexpr int kStepWidth = 28;
constexpr int kSaveWidth = 56;
constexpr int kSaveAsWidth = 80;
constexpr int kCancelWidth = 64;

const juce::Colour kReason{0xffffd479}; // a refusal in the prompt, legible on both editors

} // namespace

PresetBar::NameButton::NameButton() : juce::Button("preset") {}

void PresetBar::NameButton::paintButton(juce::Graphics& g, bool highlighted, bool down) {
  const auto area = getLocalBounds().toFloat().reduced(1.0f);
  g.setColour(down ? kBezelDown : (highlighted ? kBezel.brighter(0.05f) : kBezel));
  g.fillRoundedRectangle(area, 4.0f);
  g.setColour(kBezelEdge);
  g.drawRoundedRectangle(area, 4.0f, 1.0f);
  g.setColour(isEnabled() ? kBezelText : kBezelText.withAlpha(0.4f));
  auto text = getLocalBounds().reduced(8, 0);
  const auto arrow = text.removeFromRight(12);
  g.setFont(semiboldFont(12.0f).withStyle(italic ? juce::Font::italic : juce::Font::plain));
  g.drawText(getButtonText(), text, juce::Justification::centredLeft, true);
  juce::Path triangle;
  const auto c = arrow.toFloat().getCentre();
  triangle.addTriangle(c.x - 4.0f, c.y - 2.0f, c.x + 4.0f, c.y - 2.0f, c.x, c.y + 3.0f);
  g.fillPath(triangle);
}

PresetBar::PresetBar(std::shared_ptr<PresetManager> manager, juce::Colour background)
    : manager_(std::move(manager)), background_(background) {
  const SafePointer<PresetBar> self(this);
  manager_->onChange = [self] {
    if (self)
      self->refresh();
  };
  manager_->requestName = [self](const std::string& suggested, Answer answer) {
    if (self)
      self->askName(suggested, std::move(answer));
  };
  // Other editors and the app may have saved presets since: the folder is read again first.
  previous_.onClick = [this] {
    manager_->rebuildMenu();
    manager_->step(-1);
  };
  next_.onClick = [this] {
    manager_->rebuildMenu();
    manager_->step(+1);
  };
  name_.onClick = [this] { showMenu(); };
  menu_.onClose = [this](std::optional<std::size_t> item) { menuChosen(item); };
  save_.onClick = [this] { manager_->save(); };
  saveAs_.onClick = [this] { manager_->saveAsCommand(); };
  confirm_.onClick = [this] { accept(); };
  dismiss_.onClick = [this] { cancel(); };
  previous_.setTooltip("Previous preset");
  next_.setTooltip("Next preset");
  for (juce::Component* c :
       std::initializer_list<juce::Component*>{&previous_, &name_, &next_, &save_, &saveAs_})
    addAndMakeVisible(c);

  prompt_.setColour(juce::Label::textColourId, juce::Colours::white);
  prompt_.setFont(semiboldFont(12.0f));
  prompt_.setJustificationType(juce::Justification::centredRight);
  for (juce::Component* c : std::initializer_list<juce::Component*>{&prompt_, &confirm_, &dismiss_})
    addChildComponent(c);
  refresh();
}

PresetBar::~PresetBar() {
  menu_.onClose = nullptr;
  menu_.dismiss();
  manager_->onChange = nullptr;
  manager_->requestName = nullptr;
}

juce::String PresetBar::shownName() const {
  const juce::String title = juce::String::fromUTF8(manager_->currentTitle().c_str());
  return showsChanged_ ? title + kChangedMark : title;
}

bool PresetBar::marksChange() const {
  // A sound that is no listed preset has nothing to have changed from.
  return manager_->isChanged() && manager_->currentPresetID().kind != CurrentPresetID::Kind::none;
}

void PresetBar::refresh() {
  showsChanged_ = marksChange();
  name_.italic = showsChanged_;
  name_.setButtonText(shownName());
  name_.setEnabled(manager_->isEnabled());
  bool anyPreset = false;
  for (const auto& item : manager_->items())
    anyPreset = anyPreset || item.isPreset();
  previous_.setEnabled(anyPreset);
  next_.setEnabled(anyPreset);
  save_.setEnabled(manager_->saveEnabled());
  saveAs_.setEnabled(manager_->isEnabled() && manager_->userFolder().has_value());
  repaint();
}

std::vector<PresetMenu::Line> PresetBar::menuLines() const {
  std::vector<PresetMenu::Line> lines;
  const auto& items = manager_->items();
  const auto selected = manager_->selectedIndex();
  const bool listed = manager_->currentPresetID().kind != CurrentPresetID::Kind::none;
  bool separatorDue = false;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].isSeparator)
      separatorDue = !lines.empty();
    if (!items[i].isPreset())
      continue;
    lines.push_back(
        {i, juce::String::fromUTF8(items[i].title.c_str()), listed && selected == i, separatorDue});
    separatorDue = false;
  }
  return lines;
}

void PresetBar::showMenu() {
  auto* parent = getParentComponent();
  if (!parent)
    return;
  manager_->rebuildMenu();
  const auto under = parent->getLocalArea(this, name_.getBounds());
  menu_.open(menuLines(), *parent, under.getBottomLeft(), under.getWidth());
}

void PresetBar::menuChosen(std::optional<std::size_t> item) {
  if (item)
    manager_->choose(*item);
}

void PresetBar::askName(const std::string& suggested, Answer answer) {
  answer_ = std::move(answer);
  if (!nameField_) {
    // Made when first asked for: a text field's caret runs JUCE's timer thread from the start.
    nameField_ = std::make_unique<juce::TextEditor>("preset name");
    nameField_->setFont(semiboldFont(12.0f));
    nameField_->setTextToShowWhenEmpty("Preset name", juce::Colours::grey);
    nameField_->onReturnKey = [this] { accept(); };
    nameField_->onEscapeKey = [this] { cancel(); };
    addChildComponent(*nameField_);
  }
  nameField_->setText(juce::String::fromUTF8(suggested.c_str()), false);
  nameField_->selectAll();
  prompt_.setColour(juce::Label::textColourId, juce::Colours::white);
  prompt_.setText("Save as:", juce::dontSendNotification);
  setMode(Mode::askingName);
  if (isShowing())
    nameField_->grabKeyboardFocus();
}

void PresetBar::accept() {
  if (mode_ == Mode::askingReplace) {
    if (auto answer = std::exchange(answer_, nullptr))
      answer(pendingName_);
    setMode(Mode::presets);
    return;
  }
  if (mode_ != Mode::askingName)
    return;
  const auto entered = nameField_->getText().toStdString();
  const auto name = PresetManager::presetName(entered);
  if (!name) {
    prompt_.setColour(juce::Label::textColourId, kReason);
    prompt_.setText(entered.find('/') != std::string::npos ? "No \"/\" in a name:" : "Name it:",
                    juce::dontSendNotification);
    return;
  }
  const auto location = manager_->userPresetLocation(*name);
  std::error_code ignored;
  if (location && std::filesystem::exists(*location, ignored)) {
    pendingName_ = *name;
    prompt_.setColour(juce::Label::textColourId, juce::Colours::white);
    prompt_.setText(juce::String::fromUTF8(("Replace \u201c" + *name + "\u201d?").c_str()),
                    juce::dontSendNotification);
    confirm_.setButtonText("Replace");
    setMode(Mode::askingReplace);
    return;
  }
  setMode(Mode::presets);
  if (auto answer = std::exchange(answer_, nullptr))
    answer(*name);
}

void PresetBar::cancel() {
  if (mode_ == Mode::askingReplace) {
    // Back to the name, to choose another.
    askName(pendingName_, std::exchange(answer_, nullptr));
    return;
  }
  setMode(Mode::presets);
  if (auto answer = std::exchange(answer_, nullptr))
    answer(std::nullopt);
}

void PresetBar::setMode(Mode mode) {
  mode_ = mode;
  const bool presets = mode == Mode::presets;
  for (juce::Component* c :
       std::initializer_list<juce::Component*>{&previous_, &name_, &next_, &save_, &saveAs_})
    c->setVisible(presets);
  prompt_.setVisible(!presets);
  if (nameField_)
    nameField_->setVisible(mode == Mode::askingName);
  confirm_.setVisible(!presets);
  dismiss_.setVisible(!presets);
  if (mode != Mode::askingReplace)
    confirm_.setButtonText("Save");
  resized();
  repaint();
}

void PresetBar::paint(juce::Graphics& g) { g.fillAll(background_); }

void PresetBar::resized() {
  auto row = getLocalBounds().reduced(kMargin, 0);
  row = row.withSizeKeepingCentre(row.getWidth(), kButtonHeight);
  if (mode_ == Mode::presets) {
    saveAs_.setBounds(row.removeFromRight(kSaveAsWidth));
    row.removeFromRight(kGap);
    save_.setBounds(row.removeFromRight(kSaveWidth));
    row.removeFromRight(2 * kGap);
    previous_.setBounds(row.removeFromLeft(kStepWidth));
    row.removeFromLeft(kGap);
    next_.setBounds(row.removeFromRight(kStepWidth));
    row.removeFromRight(kGap);
    name_.setBounds(row);
    return;
  }
  dismiss_.setBounds(row.removeFromRight(kCancelWidth));
  row.removeFromRight(kGap);
  confirm_.setBounds(row.removeFromRight(kSaveAsWidth));
  row.removeFromRight(2 * kGap);
  if (mode_ == Mode::askingName) {
    prompt_.setBounds(row.removeFromLeft(std::min(140, row.getWidth() / 3)));
    row.removeFromLeft(kGap);
    nameField_->setBounds(row);
  } else {
    prompt_.setBounds(row);
  }
}

} // namespace toolkit
