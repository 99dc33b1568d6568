// The generator's editor: root-note and mode pop-ups above six knobs, kept in step with the
// unit's parameters both ways.
#pragma once

#include "PallixAU/editor/PallixEditorLayout.h"
#include "PallixAU/editor/PopupStyle.h"
#include "PallixAU/unit/PallixAudioUnit.h"
#include "platform/audiounit/AUError.h"
#include "platform/toolkit/AURotaryControl.h"
#include "platform/toolkit/AUViewController.h"
#include "platform/toolkit/ArtworkLibrary.h"

#include <array>
#include <memory>

namespace pallix::editor {

// The plug-ins' preset bar over this editor.
inline const juce::Colour kPresetBarColour{120, 40, 150};

// A component any host can own. Knobs drive their parameters directly (0 to 1, no taper). Its
// own writes carry the observer's token, so its observer never hears them back (see
// toolkit::AUViewController). Values that come from the unit move the controls without being
// written back. While it lives it holds the kit's artwork.
// Threads: message thread, except where the unit calls back (forwarded to it).
class PallixAUViewControllerMac : public toolkit::AUViewController {
public:
  static constexpr int kDefaultWidth = 480;
  static constexpr int kDefaultHeight = 320;
  // The sizes a host may give it, in either plug-in format.
  static constexpr int kMinimumWidth = 240;
  static constexpr int kMinimumHeight = 200;
  static constexpr int kMaximumWidth = 1600;
  static constexpr int kMaximumHeight = 1200;
  static constexpr const char* kNoFamily = "<None>";

  PallixAUViewControllerMac();
  ~PallixAUViewControllerMac() override;

  // The factory: makes the generator unit for description, keeps it, and connects to it on the
  // message thread, later. The unit's error comes back unchanged.
  AUResult<std::shared_ptr<AUAudioUnit>>
  createAudioUnit(const AudioComponentDescription& description);

  // Shows any unit with the generator's parameters (setAudioUnit).
  void syncAllControls() override;

  // The pop-ups' actions.
  void rootPopupChanged();
  void modePopupChanged();
  void familyPopupChanged();

  // For hosts and tests.
  toolkit::AURotaryControl& knob(PallixKnob which) noexcept;
  toolkit::AURotaryControl* knobOf(AUParameterAddress address) noexcept override;
  juce::ComboBox& rootPopupButton() noexcept { return rootPopup; }
  juce::ComboBox& modePopupButton() noexcept { return modePopup; }
  // Null unless the family picker is switched on (PallixDevFlags).
  juce::ComboBox* familyPopupButton() noexcept { return familyPopup.get(); }
  bool isWideArrangement() const noexcept { return wide_; }

  void resized() override;

private:
  void buildKnobs();
  void buildPopups();
  void layoutControls();
  void willConnect() override;
  void knobChanged(PallixKnob which);
  void gesture(PallixKnob which, AUParameterAutomationEventType type);
  void parameterChanged(AUParameterAddress address, AUValue value) override;
  void selectItem(juce::ComboBox& popup, AUValue value);
  void popupChanged(juce::ComboBox& popup, AUParameterAddress address);

  // First, so that the controls find the artwork parsed and go before it does.
  std::shared_ptr<toolkit::ArtworkLibrary> artwork_;

  toolkit::AURotaryControl embroideryKnob, easinessKnob, etiquetteKnob, exoticaKnob, emotionKnob,
      evolutionKnob;
  PopupStyle popupStyle_;
  juce::ComboBox rootPopup, modePopup;
  std::unique_ptr<juce::ComboBox> familyPopup;

  std::array<toolkit::AURotaryControl*, kKnobCount> knobs_; // by PallixKnob
  bool wide_ = true;
  bool applyingUnitValue_ = false; // a knob is being set from the unit's value
};

} // namespace pallix::editor
