// The audio-unit view controller both editors stand on: the unit shown, kept in step with it.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/AUError.h"
#include "platform/foundation/ParameterTable.h"
#include "platform/toolkit/AURotaryControl.h"
#include "platform/toolkit/FlippedView.h"
#include "platform/toolkit/MainThread.h"
#include "platform/toolkit/UnitStateObservation.h"

#include <memory>
#include <vector>

namespace toolkit {

// Holds the unit an editor shows and watches it while connected: a parameter observer whose
// token marks the editor's own writes (so it never hears them back), and the unit's fullState and
// currentPreset, whose changes resync every control. Both hand their work to the message thread
// and hold the editor weakly. An editor says how it shows a value (parameterChanged) and how it
// reads them all (syncAllControls); its destructor disconnects before its controls go.
// Threads: message thread, except where the unit calls back (forwarded to it).
class AUViewController : public FlippedView {
public:
  // Shows this unit: connects now; setting it again reconnects and syncs every control.
  void setAudioUnit(std::shared_ptr<AUAudioUnit> unit);
  const std::shared_ptr<AUAudioUnit>& audioUnit() const noexcept { return audioUnit_; }
  // What the editor's own parameter writes carry; none while disconnected.
  AUParameterObserverToken observerToken() const noexcept { return paramObserverToken_; }

  // Every control from the parameters.
  virtual void syncAllControls() = 0;
  // The knob that drives the parameter at address, if any.
  virtual AURotaryControl* knobOf(AUParameterAddress) noexcept { return nullptr; }

protected:
  explicit AUViewController(juce::Colour background);
  ~AUViewController() override;

  // The factory of an editor for Unit: makes the unit for description, keeps it, and connects to
  // it on the message thread, later. The unit's error comes back unchanged.
  template <class Unit>
  AUResult<std::shared_ptr<AUAudioUnit>> createAudioUnitOf(const AudioComponentDescription& d);

  // Sends a knob's value changes to changed(which), and the start and end of its drags to
  // gesture(which, touch or release), of editor while it lives.
  template <class Editor, class Key>
  static void forwardKnob(AURotaryControl& control, Editor& editor, Key which,
                          void (Editor::*changed)(Key),
                          void (Editor::*gesture)(Key, AUParameterAutomationEventType));

  // The knob shows the value of the parameter of row (read through row's taper) and takes typed
  // values for it: what a typed text means reaches the parameter exactly, as one gesture. Only
  // knobs whose change handler writes the parameter (forwardKnob).
  void showValuesOn(AURotaryControl& control, const foundation::ParameterRow& row);
  // Tab moves through controls in reading order: row by row (rows rowHeight apart from top,
  // by their centres), left to right, then top to bottom within one column.
  static void setReadingOrder(const std::vector<juce::Component*>& controls, float top,
                              float rowHeight);

  // The unit's parameter at that address, or null.
  std::shared_ptr<AUParameter> parameter(AUParameterAddress address) const;

  // Does nothing without a unit and a parameter tree.
  void connect();
  void disconnect();

private:
  // A value from the unit, on the message thread.
  virtual void parameterChanged(AUParameterAddress address, AUValue value) = 0;
  // Before a connection first syncs the controls.
  virtual void willConnect() {}

  std::shared_ptr<AUAudioUnit> audioUnit_;
  AUParameterObserverToken paramObserverToken_ = kAUNoObserverToken;
  std::unique_ptr<UnitStateObservation> stateObservation_;
};

template <class Unit>
AUResult<std::shared_ptr<AUAudioUnit>>
AUViewController::createAudioUnitOf(const AudioComponentDescription& d) {
  auto created = AUAudioUnit::create<Unit>(d);
  if (!created)
    return created.error();
  std::shared_ptr<AUAudioUnit> made = std::move(created).value();
  audioUnit_ = made;
  callOnMainThread(juce::Component::SafePointer<AUViewController>(this),
                   [](AUViewController& self) { self.connect(); });
  return made;
}

template <class Editor, class Key>
void AUViewController::forwardKnob(AURotaryControl& control, Editor& editor, Key which,
                                   void (Editor::*changed)(Key),
                                   void (Editor::*gesture)(Key, AUParameterAutomationEventType)) {
  const juce::Component::SafePointer<Editor> self(&editor);
  control.onValueChanged = [self, which, changed] {
    if (Editor* alive = self.getComponent())
      (alive->*changed)(which);
  };
  control.onDragBegan = [self, which, gesture] {
    if (Editor* alive = self.getComponent())
      (alive->*gesture)(which, AUParameterAutomationEventType::touch);
  };
  control.onDragEnded = [self, which, gesture] {
    if (Editor* alive = self.getComponent())
      (alive->*gesture)(which, AUParameterAutomationEventType::release);
  };
}

} // namespace toolkit
