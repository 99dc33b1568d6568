// The preset bar over a unit's editor.
#include "platform/toolkit/EditorWithPresets.h"

namespace toolkit {

namespace {

void toMessageThread(std::function<void()> task) {
  juce::MessageManager::callAsync(std::move(task));
}

} // namespace

EditorWithPresets::EditorWithPresets(std::unique_ptr<juce::Component> owner,
                                     AUViewController& editor,
                                     std::optional<std::filesystem::path> userFolder,
                                     std::string parametersKey, juce::Colour barColour)
    : owner_(std::move(owner)), editor_(editor),
      bar_(PresetManager::create(std::move(userFolder), toMessageThread, std::move(parametersKey),
                                 PresetManager::Follow::unitsPreset),
           barColour) {
  addAndMakeVisible(bar_);
  addAndMakeVisible(*owner_);
  setSize(owner_->getWidth(), owner_->getHeight() + PresetBar::kHeight);
}

EditorWithPresets::~EditorWithPresets() = default;

void EditorWithPresets::setAudioUnit(std::shared_ptr<AUAudioUnit> unit) {
  editor_.setAudioUnit(unit);
  bar_.manager()->synthesiserDidLoad(std::move(unit));
}

void EditorWithPresets::resized() {
  auto area = getLocalBounds();
  bar_.setBounds(area.removeFromTop(PresetBar::kHeight));
  owner_->setBounds(area);
}

} // namespace toolkit
