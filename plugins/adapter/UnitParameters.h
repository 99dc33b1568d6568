// The unit's parameter tree as host parameters, and the changes that cross between them.
#pragma once

#include "platform/audiounit/AUParameterTree.h"
#include "platform/audiounit/RenderEventList.h"
#include "plugins/adapter/UnitParameter.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <utility>
#include <vector>

namespace plugins {

// Host changes reach the unit as parameter events of the next render call (or directly, when
// state is about to be read or replaced); the unit's own changes (presets, state, its editor)
// reach the host through an observer of the tree, which never hears the adapter's own writes.
// An editor's touch and release of a parameter become the host's change gestures. The unit's
// other observers (its editor) learn of host changes from showHostChanges, since render events
// go to the engine alone.
// Threads: construction and destruction on a control thread; see each member.
class UnitParameters {
public:
  // Adds one host parameter per tree parameter to processor, in tree order.
  UnitParameters(juce::AudioProcessor& processor, std::shared_ptr<AUParameterTree> tree);
  ~UnitParameters();
  UnitParameters(const UnitParameters&) = delete;
  UnitParameters& operator=(const UnitParameters&) = delete;

  std::size_t size() const noexcept { return parameters_.size(); }

  // Render thread: each change of the host since the last call, as an event at sampleTime.
  void addPendingEvents(RenderEventList& events, AUEventSampleTime sampleTime) noexcept;
  // Control thread: sets the host's pending changes on the unit's parameters right away.
  void applyPending();
  // Forgets the host's pending changes (a state or preset replaces every value).
  void dropPending() noexcept;
  // Control thread, before a state replaces every value: what the host was told so far is
  // superseded (see UnitParameter).
  void supersedeAnnounced() noexcept;
  // Any thread: the host has had its chance to relay superseded values.
  void forgetSuperseded() noexcept;
  // Message thread: sets each value the host changed since the last call on the unit's
  // parameter, so its observers (an editor) hear of it; the adapter's own observer does not.
  void showHostChanges();

private:
  UnitParameter* byAddress(AUParameterAddress address) const noexcept;
  void unitChanged(AUParameterAddress address, AUValue value, AUParameterAutomationEventType type);

  std::shared_ptr<AUParameterTree> tree_;
  std::vector<UnitParameter*> parameters_;                               // owned by the processor
  std::vector<std::pair<AUParameterAddress, UnitParameter*>> byAddress_; // sorted
  AUParameterObserverToken token_ = kAUNoObserverToken;
};

} // namespace plugins
