// Replays every saved input of the fuzz targets only the JUCE build has: MIDI files read
// through JUCE, and the states of our LV2 client (built beside the JUCE plug-ins).
#include "tests/fuzz/ReplayTest.h"

INSTANTIATE_TEST_SUITE_P(Juce, Replay,
                         testing::Values(FuzzTarget{"midi-file", fuzz::midiFile, {}},
                                         FuzzTarget{"plugin-state", fuzz::pluginState, {}}),
                         fuzzTargetName);
