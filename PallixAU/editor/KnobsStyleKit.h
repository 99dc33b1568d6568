// The generator's artwork: its knob faces, pointer and logo, found by name in the bundles.
#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/toolkit/ArtworkLibrary.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <string_view>
#include <vector>

namespace pallix::editor {

// Every function returns an image of the frame's width and height (pixels): the named image
// stretched to exactly that size. Names are looked up in the bundle that holds this code, then
// the running program's; a name found nowhere gives a transparent image.
// Threads: message thread.
class KnobsStyleKit {
public:
  // Replaces the bundles searched (tests, and tools given a resources folder).
  static void useBundles(const std::vector<foundation::Bundle>& bundles);
  static toolkit::ArtworkLibrary& library();
  // Keeps the parsed artwork for as long as the result lives: each open editor holds it.
  static std::shared_ptr<toolkit::ArtworkLibrary> holdLibrary();
  // The kit's library and its counters.
  static const toolkit::SharedArtworkLibrary& sharedLibrary();

  static juce::Image imageNamed(std::string_view name, juce::Rectangle<float> frame);

  static juce::Image imageOfKnobOverlay(juce::Rectangle<float> frame);
  static juce::Image imageOfPallixUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfEmbroideryUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfEasinessUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfEmotionUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfEtiquetteUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfEvolutionUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfExoticaUnderlay(juce::Rectangle<float> frame);
};

} // namespace pallix::editor
