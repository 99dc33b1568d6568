// Replays every saved input of the fuzz target that reads MIDI files through JUCE.
#include "tests/fuzz/ReplayTest.h"

INSTANTIATE_TEST_SUITE_P(Juce, Replay, testing::Values(FuzzTarget{"midi-file", fuzz::midiFile, {}}),
                         fuzzTargetName);
