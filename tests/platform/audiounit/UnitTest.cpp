// Unit creation and its errors, the component registry, busses, allocation, presets and state.
#include "tests/support/TestUnit.h"

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <thread>

namespace {
class ThrowingUnit final : public AUAudioUnit {
public:
  explicit ThrowingUnit(ConstructionKey key) : AUAudioUnit(key) {
    throw std::runtime_error("no memory for the wavetable");
  }
};

struct Delivery {
  std::thread::id thread;
  AUResult<std::shared_ptr<AUAudioUnit>> result = AUError{};
};

Delivery instantiateAndWait(const AudioComponentDescription& description) {
  std::promise<Delivery> promise;
  AUAudioUnit::instantiate(description, kAudioComponentInstantiation_LoadInProcess,
                           [&](AUResult<std::shared_ptr<AUAudioUnit>> result) {
                             promise.set_value({std::this_thread::get_id(), std::move(result)});
                           });
  return promise.get_future().get();
}
} // namespace

TEST(Unit, InitialiserErrorsReachTheCallerUnchanged) {
  // The subclass's bus creation fails: exactly the bus's error comes back.
  auto failing = AUAudioUnit::create<TestUnit>(kTestDescription, 0, std::make_shared<Probe>(),
                                               TestUnitOptions{.channels = 0});
  ASSERT_FALSE(failing);
  const auto busError = AUAudioUnitBus::create(AudioFormat::standard(44100, 0));
  EXPECT_EQ(failing.error(), busError.error());

  // The base initialiser's own error.
  auto noType = AUAudioUnit::create<TestUnit>(AudioComponentDescription{});
  ASSERT_FALSE(noType);
  EXPECT_EQ(noType.error().code, kAudioComponentErr_UnsupportedType);

  auto throwing = AUAudioUnit::create<ThrowingUnit>(kTestDescription);
  ASSERT_FALSE(throwing);
  EXPECT_EQ(throwing.error().code, kAudioUnitErr_FailedInitialization);
  EXPECT_EQ(throwing.error().localizedDescription(), "no memory for the wavetable");
}

TEST(Registry, InstantiatesOnAnotherThreadAndReportsUnknownDescriptions) {
  AUAudioUnit::registerSubclass<TestUnit>(kTestDescription, "Orrinbrook: Test", 0x10000);
  const Delivery made = instantiateAndWait(kTestDescription);
  EXPECT_NE(made.thread, std::this_thread::get_id());
  ASSERT_TRUE(made.result);
  EXPECT_NE(dynamic_cast<TestUnit*>(made.result.value().get()), nullptr);
  EXPECT_EQ(made.result.value()->componentName(), "Orrinbrook: Test");
  EXPECT_EQ(made.result.value()->componentVersion(), 0x10000u);
  EXPECT_EQ(made.result.value()->componentDescription(), kTestDescription);

  AudioComponentDescription unknown = kTestDescription;
  unknown.componentSubType = fourCharCode("nope");
  const Delivery missing = instantiateAndWait(unknown);
  EXPECT_NE(missing.thread, std::this_thread::get_id());
  ASSERT_FALSE(missing.result);
  EXPECT_EQ(missing.result.error().code, kAudioComponentErr_UnsupportedType);
  EXPECT_NE(missing.result.error().message.find("aumu/nope/ob*k"), std::string::npos);

  // A factory's failure is delivered as it is.
  unknown.componentSubType = fourCharCode("fail");
  AUAudioUnit::registerSubclass(
      [](auto&, auto) -> AUResult<std::shared_ptr<AUAudioUnit>> {
        return AUError{-7, "refused"};
      },
      unknown, "Failing", 1);
  EXPECT_EQ(instantiateAndWait(unknown).result.error(), (AUError{-7, "refused"}));
}

TEST(Unit, BusFormatsChangeOnlyBeforeAllocationAndOnlyToSupportedFormats) {
  auto unit = makeUnit();
  AUAudioUnitBus& bus = unit->outputBusses()[0];
  EXPECT_EQ(bus.format(), AudioFormat::standard(44100, 2));
  ASSERT_TRUE(bus.setFormat(AudioFormat::standard(48000, 2)));

  ASSERT_TRUE(unit->allocateRenderResources());
  const auto refused = bus.setFormat(AudioFormat::standard(96000, 2));
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().code, kAudioUnitErr_Initialized);
  EXPECT_EQ(bus.format().sampleRate, 48000);
  unit->deallocateRenderResources();
  EXPECT_TRUE(bus.setFormat(AudioFormat::standard(96000, 2)));

  AudioFormat interleaved = AudioFormat::standard(44100, 2);
  interleaved.interleaved = true;
  AudioFormat integer = AudioFormat::standard(44100, 2);
  integer.commonFormat = AudioCommonFormat::int16;
  for (const AudioFormat& format :
       {interleaved, integer, AudioFormat::standard(44100, 17), AudioFormat::standard(0, 2),
        AudioFormat::standard(std::numeric_limits<double>::quiet_NaN(), 2)}) {
    const auto result = bus.setFormat(format);
    ASSERT_FALSE(result) << format.description();
    EXPECT_EQ(result.error().code, kAudioUnitErr_FormatNotSupported);
  }
  EXPECT_EQ(bus.format().sampleRate, 96000);
}

TEST(Unit, AllocationNeedsARenderBlockAndFramesAndOnlyMIDIUnitsSchedule) {
  class Silent final : public AUAudioUnit {
  public:
    explicit Silent(ConstructionKey key) : AUAudioUnit(key) {}
  };
  auto silent = AUAudioUnit::create<Silent>(kTestDescription).value();
  EXPECT_EQ(silent->allocateRenderResources().error().code, kAudioUnitErr_FailedInitialization);
  EXPECT_FALSE(silent->renderResourcesAllocated());
  auto unit = makeUnit();
  unit->setMaximumFramesToRender(0);
  EXPECT_EQ(unit->allocateRenderResources().error().code, kAudioUnitErr_InvalidPropertyValue);

  for (const char* type : {"aumu", "aumf", "aumi", "aufx"}) {
    auto description = kTestDescription;
    description.componentType = fourCharCode(type);
    EXPECT_EQ(bool(AUAudioUnit::create<TestUnit>(description).value()->scheduleMIDIEventBlock()),
              type != std::string_view("aufx"))
        << type;
  }
}

TEST(Unit, StateAndPresetChangesAreObservedOnTheSettingThread) {
  auto unit = makeUnit();
  const foundation::PropertyList fresh = *unit->fullState();
  int stateChanges = 0, presetChanges = 0;
  const auto settingThread = std::this_thread::get_id();
  const auto stateToken = unit->tokenByAddingFullStateObserver([&] {
    EXPECT_EQ(std::this_thread::get_id(), settingThread);
    ++stateChanges;
  });
  unit->tokenByAddingCurrentPresetObserver([&] { ++presetChanges; });
  unit->setCurrentPreset(AUAudioUnitPreset{-1, "Mine"});
  EXPECT_EQ(*unit->fullState()->find("name")->string(), "Mine");
  unit->setFullState(fresh);
  unit->setFullStateForDocument(std::nullopt);
  EXPECT_EQ(stateChanges, 2);
  EXPECT_EQ(presetChanges, 1);
  unit->removeFullStateObserver(stateToken);
  unit->setFullState(fresh);
  EXPECT_EQ(stateChanges, 2);
}
