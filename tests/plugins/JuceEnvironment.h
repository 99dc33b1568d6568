// JUCE's message thread for a whole test run, shut down before the process exits (as static
// destruction, it would outlive parts of JUCE it needs). Including this header registers it.
// And a VST3 bundle of the build tree, loaded by JUCE's own VST3 host.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

class JuceEnvironment : public ::testing::Environment {
public:
  void SetUp() override { juce_ = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
  void TearDown() override { juce_.reset(); }

private:
  std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce_;
};

inline auto* const juceEnvironment = ::testing::AddGlobalTestEnvironment(new JuceEnvironment);

struct LoadedVst3 {
  juce::PluginDescription description;
  std::unique_ptr<juce::AudioPluginInstance> instance;
};

// The bundle's one class, scanned once per run; throws when it cannot be loaded.
inline LoadedVst3 loadVst3(const char* bundle, double rate = 48000, int block = 512) {
  static std::map<std::string, juce::PluginDescription> scanned;
  juce::VST3PluginFormat format;
  if (!scanned.contains(bundle)) {
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile(types,
                               juce::String(std::filesystem::weakly_canonical(bundle).string()));
    if (types.size() != 1)
      throw std::runtime_error(std::string("cannot scan ") + bundle);
    scanned[bundle] = *types[0];
  }
  juce::String error;
  auto instance = format.createInstanceFromDescription(scanned[bundle], rate, block, error);
  if (!instance)
    throw std::runtime_error(error.toStdString());
  return {scanned[bundle], std::move(instance)};
}
