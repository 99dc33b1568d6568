// A unit's state and preset changes reach a view on the message thread, and never after it
// stopped watching.
#include "platform/toolkit/UnitStateObservation.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TestUnit.h"

#include <gtest/gtest.h>

#include <thread>

TEST(UnitStateObservation, ChangesFromAnyThreadArriveOnTheMessageThread) {
  auto unit = makeUnit();
  juce::Component owner;
  int calls = 0;
  bool onMessageThread = true;
  auto observation = std::make_unique<toolkit::UnitStateObservation>(unit, owner, [&] {
    ++calls;
    onMessageThread = onMessageThread && juce::MessageManager::existsAndIsCurrentThread();
  });
  std::thread other([&] {
    unit->setFullState(unit->fullState());
    unit->setCurrentPreset(AUAudioUnitPreset{3, "Three"});
  });
  other.join();
  EXPECT_EQ(calls, 0); // nothing runs on the thread that set them
  runPostedMessages();
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(onMessageThread);
}

TEST(UnitStateObservation, NothingArrivesOnceTheObservationOrItsOwnerIsGone) {
  auto unit = makeUnit();
  int calls = 0;
  {
    juce::Component owner;
    toolkit::UnitStateObservation observation(unit, owner, [&] { ++calls; });
    unit->setCurrentPreset(AUAudioUnitPreset{1, "One"}); // posted, not yet run
  }
  auto owner = std::make_unique<juce::Component>();
  toolkit::UnitStateObservation outlived(unit, *owner, [&] { ++calls; });
  unit->setFullState(unit->fullState());
  owner.reset();
  runPostedMessages();
  EXPECT_EQ(calls, 0);
  unit->setFullState(unit->fullState()); // still observed, but for a component that is gone
  runPostedMessages();
  EXPECT_EQ(calls, 0);
}
