// The sessions of the JUCE build kept in tests/data/lv2-states: which plug-in, and the values it
// was given before lilv saved its state (JUCE's LV2 client as built at 9b42550, through
// patch:Set; the tests restore them).
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct JuceStateFixture {
  const char* file; // in tests/data/lv2-states
  const char* pluginUri;
  // In the parameters' own units, each exact through JUCE's normalised values: the ends of a
  // linear range, quarters of one from 0 to 1, whole steps.
  std::vector<std::pair<const char*, float>> values;
};

inline const std::vector<JuceStateFixture> kJuceStateFixtures{
    // The synthesiser's sources of randomness and history off, so that it renders alike twice.
    {"quorvane-juce.ttl",
     "https://orrinbrook.org/plugins/quorvane",
     {{"drift", 0},
      {"space", 0},
      {"motion", 0},
      {"spacetime", 0},
      {"echo", 0},
      {"shape", 0.25f},
      {"frequency", 0.5f},
      {"resonance", 0.75f},
      {"sustain", 0.75f},
      {"filterType", 2}}},
    {"pallix-juce.ttl",
     "https://orrinbrook.org/plugins/pallix",
     {{"embroidery", 0.75f}, {"etiquette", 0.25f}, {"evolution", 1}, {"rootNote", 5}, {"mode", 1}}},
};

// Test names and messages show the file.
inline void PrintTo(const JuceStateFixture& fixture, std::ostream* out) { *out << fixture.file; }
