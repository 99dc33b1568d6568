// The synthesiser's artwork: knob faces, pointer, logo and filter labels found by name in the
// bundles, and the radio-button images drawn in code.
#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/toolkit/ArtworkLibrary.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <string_view>
#include <vector>

namespace quorvane::editor {

// Every function returns an image of the frame's width and height (pixels). Named images are
// looked up in the bundle that holds this code, then the running program's (skipping a
// duplicate): a plug-in finds its own artwork, the app the artwork in its Resources. Underlays
// are drawn underlayScale times larger than fits, centred and cropped, so the face fills the
// control; the other named images are fitted (scale 1). A name found nowhere gives a
// transparent image. Threads: message thread.
class KnobsStyleKit {
public:
  static constexpr float underlayScale = 1.15f;

  // Replaces the bundles searched (tests, and tools given a resources folder).
  static void useBundles(const std::vector<foundation::Bundle>& bundles);
  static toolkit::ArtworkLibrary& library();
  // Keeps the parsed artwork for as long as the result lives: each open editor holds it.
  static std::shared_ptr<toolkit::ArtworkLibrary> holdLibrary();
  // The kit's library and its counters.
  static const toolkit::SharedArtworkLibrary& sharedLibrary();

  // The named image at scale s, by the kit's rule.
  static juce::Image imageNamed(std::string_view name, juce::Rectangle<float> frame, float s);

  static juce::Image imageOfKnobOverlay(juce::Rectangle<float> frame);
  static juce::Image imageOfQuorvaneUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfAttackUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfBoostUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfDecayUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfDetuneUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfDriftUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfDriveUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfEchoUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfFrequencyUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfMotionUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfRateUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfReleaseUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfResonanceUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfShapeUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfSpacetimeUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfSpreadUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfSustainUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfTimeUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfTouchUnderlay(juce::Rectangle<float> frame);
  static juce::Image imageOfSpaceUnderlay(juce::Rectangle<float> frame);
  // An underlay by its artwork name ("AttackUnderlay"), as the editor's knob table names them.
  static juce::Image imageOfUnderlay(std::string_view name, juce::Rectangle<float> frame);
  static juce::Image imageOfLpLabel(juce::Rectangle<float> frame);
  static juce::Image imageOfBpLabel(juce::Rectangle<float> frame);
  static juce::Image imageOfHpLabel(juce::Rectangle<float> frame);
  static juce::Image imageOfSlope12Label(juce::Rectangle<float> frame);
  static juce::Image imageOfSlope24Label(juce::Rectangle<float> frame);

  // A white ring centred in the frame, radius 0.45 m and 0.08 m wide (m the shorter side);
  // the "on" image adds a white disc of radius 0.25 m.
  static juce::Image imageOfRadioOff(juce::Rectangle<float> frame);
  static juce::Image imageOfRadioOn(juce::Rectangle<float> frame);
};

} // namespace quorvane::editor
