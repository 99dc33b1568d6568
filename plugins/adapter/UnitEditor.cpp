// The unit's editor in a host window.
#include "plugins/adapter/UnitEditor.h"

#include "plugins/adapter/UnitProcessor.h"

namespace plugins {

UnitEditor::UnitEditor(UnitProcessor& processor, std::unique_ptr<juce::Component> content,
                       const UnitEditorOptions& options)
    : juce::AudioProcessorEditor(processor), processor_(processor), content_(std::move(content)) {
  const auto size = processor_.editorSize(); // before the limits resize an empty window
  addAndMakeVisible(*content_);
  setResizable(true, true);
  setResizeLimits(options.minimumWidth, options.minimumHeight, options.maximumWidth,
                  options.maximumHeight);
  setSize(size.x, size.y);
  remembersSize_ = true;
  startTimer(kHostChangeIntervalMs);
}

UnitEditor::~UnitEditor() { stopTimer(); }

void UnitEditor::resized() {
  content_->setBounds(getLocalBounds());
  if (remembersSize_)
    processor_.setEditorSize(getWidth(), getHeight());
}

void UnitEditor::timerCallback() { processor_.showHostChanges(); }

} // namespace plugins
