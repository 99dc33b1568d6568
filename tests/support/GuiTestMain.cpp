// The entry of the view tests: GoogleTest inside an initialised JUCE GUI (message manager,
// desktop), on the thread that is JUCE's message thread.
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  juce::ScopedJuceInitialiser_GUI gui;
  return RUN_ALL_TESTS();
}
