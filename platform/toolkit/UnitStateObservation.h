// Watching a unit's fullState and currentPreset, with each change reported on the message thread.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/toolkit/MainThread.h"

#include <functional>
#include <memory>

namespace toolkit {

// Observes both properties for as long as it lives. Each change, on whatever thread the unit's
// state or preset was set, posts onChange to the message thread; a change posted before the
// observation (or the component it was made for) ended does nothing when it arrives.
// Threads: make and destroy on the message thread.
class UnitStateObservation {
public:
  UnitStateObservation(std::shared_ptr<AUAudioUnit> unit, juce::Component& owner,
                       std::function<void()> onChange);
  ~UnitStateObservation();
  UnitStateObservation(const UnitStateObservation&) = delete;
  UnitStateObservation& operator=(const UnitStateObservation&) = delete;

private:
  // What a posted change checks on arrival: the observation still exists.
  struct Alive {
    std::function<void()> onChange;
  };

  std::shared_ptr<AUAudioUnit> unit_;
  std::shared_ptr<Alive> alive_;
  AUObserverToken fullStateToken_ = kAUNoObserverToken;
  AUObserverToken currentPresetToken_ = kAUNoObserverToken;
};

} // namespace toolkit
