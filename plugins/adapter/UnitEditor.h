// A unit's own editor in a host's window: resizable within limits, its size kept in the
// plug-in's state, and host changes of parameters shown in it.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>

class UnitProcessor;

// What a plug-in definition says of its unit's editor.
struct UnitEditorOptions {
  // Makes the editor's content for the unit (message thread).
  std::function<std::unique_ptr<juce::Component>(std::shared_ptr<AUAudioUnit>)> make;
  int defaultWidth = 480, defaultHeight = 320;
  int minimumWidth = 240, minimumHeight = 200;
  int maximumWidth = 2400, maximumHeight = 1600;

  bool fits(int width, int height) const noexcept {
    return width >= minimumWidth && width <= maximumWidth && height >= minimumHeight &&
           height <= maximumHeight;
  }
};

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
