// The synthesiser's editor: 19 knobs, the waveform preview and the filter radio groups, kept in
// step with the unit's parameters both ways.
#pragma once

#include "QuorvaneAU/editor/QuorvaneEditorLayout.h"
#include "QuorvaneAU/editor/QuorvaneKnobs.h"
#include "QuorvaneAU/editor/TuningMenu.h"
#include "QuorvaneAU/editor/WaveformView.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/audiounit/AUError.h"
#include "platform/toolkit/AURotaryControl.h"
#include "platform/toolkit/AUViewController.h"
#include "platform/toolkit/ArtworkLibrary.h"
#include "platform/toolkit/ImageViews.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quorvane::editor {

// The plug-ins' preset bar over this editor.
inline const juce::Colour kPresetBarColour{34, 85, 36};

// A component any host can own (a plug-in's editor window, the app's window). It talks to the
// unit only through its parameter tree and its state and preset observers (see
// toolkit::AUViewController). Values that come from the unit move the controls without being
// written back. The layout follows the view's size live (see QuorvaneEditorLayout). While it
// lives it holds the kit's artwork.
// Threads: message thread, except where the unit calls back (forwarded to it).
class QuorvaneAUViewControllerMac : public toolkit::AUViewController {
public:
  static constexpr int kDefaultWidth = 720;
  static constexpr int kDefaultHeight = 480;
  // The sizes a host may give it, in either plug-in format.
  static constexpr int kMinimumWidth = 480;
  static constexpr int kMinimumHeight = 320;
  static constexpr int kMaximumWidth = 2400;
  static constexpr int kMaximumHeight = 1600;

  QuorvaneAUViewControllerMac();
  ~QuorvaneAUViewControllerMac() override;

  // The factory: makes the synthesiser unit for description, keeps it, and connects to it on
  // the message thread, later. The unit's error comes back unchanged.
  AUResult<std::shared_ptr<AUAudioUnit>>
  createAudioUnit(const AudioComponentDescription& description);

  // Shows any unit with the synthesiser's parameters (setAudioUnit).
  void syncAllControls() override;

  // The radio buttons' actions (the sender's tag is the index).
  void filterTypeClicked(const toolkit::ImageButton& sender);
  void filterRolloffClicked(const toolkit::ImageButton& sender);

  // For hosts and tests: the controls.
  toolkit::AURotaryControl& knob(QuorvaneKnob which) noexcept;
  toolkit::AURotaryControl* knobOf(AUParameterAddress address) noexcept override;
  WaveformView& waveform() noexcept { return waveformView; }
  TuningMenu& tuning() noexcept { return tuningMenu; }
  toolkit::ImageButton& radioButton(RadioLine line) noexcept;
  toolkit::ImageView& radioLabel(RadioLine line) noexcept;
  // The selected index of each group, as last shown.
  int selectedFilterType() const noexcept { return selectedType_; }
  int selectedFilterRolloff() const noexcept { return selectedRolloff_; }
  // The arrangement last laid out (0 to 4).
  int arrangement() const noexcept { return mode_; }

  void resized() override;

private:
  struct RadioGroup {
    std::vector<toolkit::ImageButton*> buttons;
    AUParameterAddress address;
    int* selected;
  };

  void buildControls();
  void buildTuningMenu();
  void layoutControls();
  void knobChanged(QuorvaneKnob which);
  void gesture(QuorvaneKnob which, AUParameterAutomationEventType type);
  void parameterChanged(AUParameterAddress address, AUValue value) override;
  void selectRadio(RadioGroup& group, int index);
  void selectRadioFromValue(RadioGroup& group, AUValue value);
  void radioClicked(RadioGroup& group, int tag);

  // First, so that the controls find the artwork parsed and go before it does.
  std::shared_ptr<toolkit::ArtworkLibrary> artwork_;

  toolkit::AURotaryControl shapeKnob, detuneKnob, spreadKnob, attackKnob, decayKnob, sustainKnob,
      releaseKnob, rateKnob, motionKnob, spacetimeKnob, frequencyKnob, resonanceKnob, driveKnob,
      driftKnob, echoKnob, timeKnob, touchKnob, boostKnob, spaceKnob;
  WaveformView waveformView;
  TuningMenu tuningMenu;
  toolkit::ImageButton lpButton{0}, bpButton{1}, hpButton{2};
  toolkit::ImageButton slope12Button{0}, slope24Button{1};
  toolkit::ImageView lpLabel, bpLabel, hpLabel, slope12Label, slope24Label;
  std::array<std::function<juce::Image(juce::Rectangle<float>)>, 3> filterTypeLabels;
  std::array<std::function<juce::Image(juce::Rectangle<float>)>, 2> filterRolloffLabels;

  std::array<toolkit::AURotaryControl*, kKnobCount> knobs_; // by QuorvaneKnob
  RadioGroup typeGroup_, rolloffGroup_;
  int selectedType_ = 0, selectedRolloff_ = 0;
  int mode_ = 2;
  bool applyingUnitValue_ = false; // a knob is being set from the unit's value
};

} // namespace quorvane::editor
