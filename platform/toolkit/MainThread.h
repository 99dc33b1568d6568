// Work handed to the message thread from any thread, held weakly by the component it is for.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <utility>

namespace toolkit {

// Runs function(owner) on the message thread, later, if owner still exists then. Make the
// SafePointer on the message thread (once, when subscribing); copies of it may be passed here
// from any thread but the render thread (posting allocates).
template <class Owner, class Function>
void callOnMainThread(const juce::Component::SafePointer<Owner>& owner, Function function) {
  juce::MessageManager::callAsync([owner, function = std::move(function)]() mutable {
    if (Owner* alive = owner.getComponent())
      function(*alive);
  });
}

} // namespace toolkit
