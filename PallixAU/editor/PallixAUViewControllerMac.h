// The generator's editor: root-note and mode pop-ups above six knobs, kept in step with the
// unit's parameters both ways.
#pragma once

#include "PallixAU/editor/PallixEditorLayout.h"
#include "PallixAU/editor/PopupStyle.h"
#include "PallixAU/unit/PallixAudioUnit.h"
#include "platform/audiounit/AUError.h"
#include "platform/toolkit/AURotaryControl.h"
#include "platform/toolkit/FlippedView.h"
#include "platform/toolkit/UnitStateObservation.h"

#include <array>
#include <memory>

namespace pallix::editor {

// A component any host can own. Knobs drive their parameters directly (0 to 1, no taper). Its
// own writes carry paramObserverToken, so its observer never hears them back; the observer and
// the state observations hand their work to the message thread and hold the editor weakly.
// Values that come from the unit move the controls without being written back.
// Threads: message thread, except where the unit calls back (forwarded to it).
class PallixAUViewControllerMac : public toolkit::FlippedView {
public:
  static constexpr int kDefaultWidth = 480;
  static constexpr int kDefaultHeight = 320;
  static constexpr std::array<const char*, 12> kRootNames{"C",  "C#", "D",  "D#", "E",  "F",
                                                          "F#", "G",  "G#", "A",  "A#", "B"};
  static constexpr std::array<const char*, 2> kModeNames{"Major", "Minor"};
  static constexpr const char* kNoFamily = "<None>";

  PallixAUViewControllerMac();
  ~PallixAUViewControllerMac() override;

  // The factory: makes the generator unit for description, keeps it, and connects to it on the
  // message thread, later. The unit's error comes back unchanged.
  AUResult<std::shared_ptr<AUAudioUnit>>
  createAudioUnit(const AudioComponentDescription& description);

  // Shows this unit (any unit with the generator's parameters): connects now; setting it again
  // reconnects and syncs every control.
  void setAudioUnit(std::shared_ptr<AUAudioUnit> unit);
  const std::shared_ptr<AUAudioUnit>& audioUnit() const noexcept { return audioUnit_; }

  void syncAllControls();

  // The pop-ups' actions.
  void rootPopupChanged();
  void modePopupChanged();
  void familyPopupChanged();

  // For hosts and tests.
  toolkit::AURotaryControl& knob(PallixKnob which) noexcept;
  juce::ComboBox& rootPopupButton() noexcept { return rootPopup; }
  juce::ComboBox& modePopupButton() noexcept { return modePopup; }
  // Null unless the family picker is switched on (PallixDevFlags).
  juce::ComboBox* familyPopupButton() noexcept { return familyPopup.get(); }
  AUParameterObserverToken observerToken() const noexcept { return paramObserverToken; }
  bool isWideArrangement() const noexcept { return wide_; }

  void resized() override;

private:
  void buildKnobs();
  void buildPopups();
  void layoutControls();
  void connect();
  void disconnect();
  void knobChanged(PallixKnob which);
  void gesture(PallixKnob which, AUParameterAutomationEventType type);
  void parameterChanged(AUParameterAddress address, AUValue value);
  void selectItem(juce::ComboBox& popup, AUValue value);
  void popupChanged(juce::ComboBox& popup, AUParameterAddress address);
  std::shared_ptr<AUParameter> parameter(AUParameterAddress address) const;

  std::shared_ptr<AUAudioUnit> audioUnit_;
  AUParameterObserverToken paramObserverToken = kAUNoObserverToken;
  std::unique_ptr<toolkit::UnitStateObservation> stateObservation_;

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
