// Writes the JUCE build's saved states that tests/data/lv2-states keeps: each plug-in of that
// build given the fixture's values through patch:Set, run a block, saved by lilv_state_save.
//
//   juce-lv2-states FOLDER
#include "tests/plugins/lv2/JuceStateFixtures.h"
#include "tools/lv2-host/Lv2Host.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: juce-lv2-states FOLDER\n";
    return 2;
  }
  try {
    Lv2World world({JUCE_QUORVANE_LV2_BUNDLE, JUCE_PALLIX_LV2_BUNDLE});
    for (const JuceStateFixture& fixture : kJuceStateFixtures) {
      Lv2Instance plugin(world, fixture.pluginUri, 48000, 512);
      for (const auto& [identifier, value] : fixture.values)
        plugin.addParameter(0, identifier, value);
      plugin.run(512);
      plugin.saveStateFile(argv[1], fixture.file,
                           std::string("urn:orrinbrook:juce-state:") + fixture.file);
      std::cout << argv[1] << '/' << fixture.file << '\n';
    }
  } catch (const std::exception& e) {
    std::cerr << "juce-lv2-states: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
