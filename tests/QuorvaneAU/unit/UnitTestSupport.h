// Shared helpers for the synthesiser unit's tests: preset folders, units, render calls.
#pragma once

#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "platform/audiounit/RenderEventList.h"
#include "platform/foundation/Bundle.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/UnitValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

// Written out here rather than taken from the unit, so the tests check the unit's table.
inline const std::vector<AUValue> kInitialValues = {
    0.5f, 0, 0, 0.005f, 0.08f, 0.4f, 0.25f, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline const std::array<const char*, 21> kIdentifiers = {
    "shape",     "detuneSpread", "rowSpread", "attack",     "decay",         "sustain",
    "release",   "rate",         "motion",    "spacetime",  "drive",         "frequency",
    "resonance", "drift",        "echo",      "filterType", "filterRolloff", "aftertouchDepth",
    "echoTime",  "boost",        "space"};

// A resources folder with a "presets" subfolder, removed with the object.
struct PresetFolder : TemporaryFolder {
  PresetFolder() : TemporaryFolder("quorvane-unit") {
    std::filesystem::create_directory(path / "presets");
  }
  void write(const std::string& name, std::string_view bytes) const {
    writeFile(path / "presets" / name, bytes);
  }
  void writeXML(const std::string& name, const foundation::PropertyList& plist) const {
    write(name, plist.toXML());
  }
};

inline foundation::PropertyList stateWith(foundation::PropertyList params) {
  return foundation::PropertyList(
      foundation::PropertyList::Dictionary{{"quorvaneParams", std::move(params)}});
}

// The presets of resources/presets; none without resources.
inline auto makeUnit(const std::filesystem::path& resources = {}) {
  using quorvane::unit::QuorvaneAudioUnit;
  auto catalogue = std::make_shared<const FactoryPresetCatalogue>(
      foundation::Bundle::withResourcesFolder(resources), "presets");
  auto unit = AUAudioUnit::create<QuorvaneAudioUnit>(QuorvaneAudioUnit::kDescription, 0, catalogue);
  EXPECT_TRUE(unit.ok());
  return std::move(unit).value();
}

// Sets every parameter to a value unlike its initial one, so a reset to defaults shows.
inline std::vector<AUValue> scramble(AUAudioUnit& unit) {
  const auto& parameters = unit.parameterTree()->allParameters();
  for (std::size_t i = 0; i < parameters.size(); ++i)
    parameters[i]->setValue(0.05f * float(i + 1) + 0.001f);
  return values(unit);
}

// Calls a unit's render block as a host does, into two channels it owns.
struct HostRender {
  explicit HostRender(AUAudioUnit& unit, AUAudioFrameCount maxFrames = 512)
      : left(maxFrames), right(maxFrames) {
    unit.setMaximumFramesToRender(maxFrames);
    EXPECT_TRUE(unit.allocateRenderResources().ok());
    block = unit.renderBlock();
  }
  OSStatus operator()(AUAudioFrameCount frames, const AURenderEvent* events = nullptr,
                      std::uint32_t buffers = 2) {
    float* channels[2] = {left.data(), right.data()};
    AudioBufferList list = AudioBufferList::forChannels(channels, buffers, frames);
    return call(frames, list, events);
  }
  OSStatus call(AUAudioFrameCount frames, AudioBufferList& list, const AURenderEvent* events) {
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(double(time));
    time += frames;
    return block(&flags, &stamp, frames, 0, &list, events, pull);
  }
  std::vector<float> left, right;
  AURenderBlock block;
  AURenderPullInputBlock pull;
  AUEventSampleTime time = 0; // of the next call's first frame
};

inline float peak(const float* samples, std::size_t count) {
  float result = 0;
  for (std::size_t i = 0; i < count; ++i)
    result = std::max(result, std::abs(samples[i]));
  return result;
}
