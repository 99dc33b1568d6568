// What a plug-in definition says of its unit's editor: how to make it, and the sizes it may take.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace plugins {

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

} // namespace plugins
