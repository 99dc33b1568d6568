// Observing a unit's state and preset for a view.
#include "platform/toolkit/UnitStateObservation.h"

namespace toolkit {

UnitStateObservation::UnitStateObservation(std::shared_ptr<AUAudioUnit> unit,
                                           juce::Component& owner, std::function<void()> onChange)
    : unit_(std::move(unit)), alive_(std::make_shared<Alive>(Alive{std::move(onChange)})) {
  if (!unit_)
    return;
  const auto post = [owner = juce::Component::SafePointer<juce::Component>(&owner),
                     weak = std::weak_ptr<Alive>(alive_)] {
    callOnMainThread(owner, [weak](juce::Component&) {
      if (const auto alive = weak.lock())
        alive->onChange();
    });
  };
  fullStateToken_ = unit_->tokenByAddingFullStateObserver(post);
  currentPresetToken_ = unit_->tokenByAddingCurrentPresetObserver(post);
}

UnitStateObservation::~UnitStateObservation() {
  if (!unit_)
    return;
  unit_->removeFullStateObserver(fullStateToken_);
  unit_->removeCurrentPresetObserver(currentPresetToken_);
}

} // namespace toolkit
