// A unit's own editor in a host's window: resizable within limits, its size kept in the
// plug-in's state, and host changes of parameters shown in it.
#pragma once

#include "plugins/adapter/UnitEditorOptions.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace plugins {

class UnitProcessor;

// The content fills the window and follows it live while the host resizes it. Host changes of
// parameter values arrive with the render calls; a timer on the message thread passes them on
// to the unit's parameter tree, where the content's observer sees them.
// Threads: message thread.
class UnitEditor : public juce::AudioProcessorEditor, private juce::Timer {
public:
  static constexpr int kHostChangeIntervalMs = 30;

  UnitEditor(UnitProcessor& processor, std::unique_ptr<juce::Component> content,
             const UnitEditorOptions& options);
  ~UnitEditor() override;

  juce::Component& content() noexcept { return *content_; }

  void resized() override;

private:
  void timerCallback() override;

  UnitProcessor& processor_;
  std::unique_ptr<juce::Component> content_;
  bool remembersSize_ = false; // once the window has its first size
};

} // namespace plugins
