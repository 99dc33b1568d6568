// JUCE's message thread for a whole test run, shut down before the process exits (as static
// destruction, it would outlive parts of JUCE it needs). Including this header registers it.
#pragma once

#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

#include <memory>

class JuceEnvironment : public ::testing::Environment {
public:
  void SetUp() override { juce_ = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
  void TearDown() override { juce_.reset(); }

private:
  std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce_;
};

inline auto* const juceEnvironment = ::testing::AddGlobalTestEnvironment(new JuceEnvironment);
