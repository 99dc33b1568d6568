// The generator unit's factory presets and saved state, and the presets it ships with.
#include "PallixTestSupport.h"

using Dictionary = PropertyList::Dictionary;

TEST(PallixSavedState, AFreshUnitWithoutPresetsIsUntitledAndHoldsTheDefaults) {
  PresetFolder folder;
  auto unit = makeUnit(&folder);
  EXPECT_TRUE(unit->factoryPresets().empty());
  EXPECT_EQ(values(*unit), kDefaults);
  const auto& parameters = unit->parameterTree()->allParameters();
  EXPECT_EQ(parameters[6]->stringFromValue() + parameters[7]->stringFromValue(), "CMajor");
  const PropertyList state = *unit->fullState();
  EXPECT_EQ(state.dictionary()->size(), 6u);
  EXPECT_EQ(state.find("version")->integer(), 0);
  EXPECT_EQ(state.find("type")->integer(), 0x61756D69);         // aumi
  EXPECT_EQ(state.find("subtype")->integer(), 0x506C7849);      // PlxI
  EXPECT_EQ(state.find("manufacturer")->integer(), 0x6F622A6B); // ob*k
  EXPECT_EQ(*state.find("name")->string(), "Untitled");
  const PropertyList* params = state.find("pallixParams");
  ASSERT_TRUE(params && params->dictionary());
  EXPECT_EQ(params->dictionary()->size(), 8u);
  EXPECT_EQ(params->find("rootNote")->real(), 0.0);
  EXPECT_EQ(params->find("evolution")->real(), 0.5);
}

TEST(PallixFactoryPresets, FirstInNaturalOrderIsAppliedAndUnknownNumbersAreOnlyStored) {
  PresetFolder folder;
  folder.write("10-B.aupreset", {{"rootNote", 2}});
  folder.write("2-A.aupreset", {{"mode", 1}});
  std::ofstream(folder.root / "pallix-presets" / "readme.txt") << "not a preset";
  auto unit = makeUnit(&folder);
  EXPECT_EQ(unit->factoryPresets(), (std::vector<AUAudioUnitPreset>{{0, "A"}, {1, "B"}}));
  EXPECT_EQ(values(*unit), defaultsWith(7, 1));
  unit->setCurrentPreset(AUAudioUnitPreset{1, "B"});
  EXPECT_EQ(values(*unit), defaultsWith(6, 2)); // what B leaves out returns to its default
  unit->setCurrentPreset(AUAudioUnitPreset{5, "five"});
  EXPECT_EQ(values(*unit), defaultsWith(6, 2));
  EXPECT_EQ(*unit->fullState()->find("name")->string(), "five");
}

TEST(PallixSavedState, WhatAStateLeavesOutOrSpoilsReturnsToItsDefault) {
  PresetFolder folder;
  auto unit = makeUnit(&folder);
  for (const auto& parameter : unit->parameterTree()->allParameters())
    parameter->setValue(1);
  unit->setFullState(Dictionary{{"pallixParams", Dictionary{{"rootNote", 7}}}});
  EXPECT_EQ(values(*unit), defaultsWith(6, 7));
  unit->setFullState(Dictionary{{"pallixParams", Dictionary{{"rootNote", 7}, {"mode", "x"}}}});
  EXPECT_EQ(values(*unit), kDefaults);
}

TEST(PallixFactoryPresets, TheShippedOnesEachSetAllEightParametersInRange) {
  auto unit = makeUnit(nullptr);
  const auto presets = unit->factoryPresets();
  ASSERT_EQ(presets.size(), 5u);
  EXPECT_EQ(unit->currentPreset(), (AUAudioUnitPreset{0, "Slow Burn"}));
  for (const auto& preset : presets) {
    const auto file = PallixAudioUnit::bundledPresets()->load(preset.number);
    const PropertyList* params = file ? file->find("pallixParams") : nullptr;
    ASSERT_TRUE(params && params->dictionary()) << preset.name;
    EXPECT_EQ(params->dictionary()->size(), 8u) << preset.name;
    unit->setCurrentPreset(preset);
    for (const auto& parameter : unit->parameterTree()->allParameters()) {
      // The value as read back: a fractional root note or mode would come back truncated.
      const AUValue value = parameter->value();
      const PropertyList* saved = params->find(parameter->identifier());
      ASSERT_TRUE(saved && saved->number()) << preset.name << ": " << parameter->identifier();
      EXPECT_EQ(value, AUValue(*saved->number())) << preset.name;
      EXPECT_TRUE(value >= parameter->minValue() && value <= parameter->maxValue())
          << preset.name << ": " << parameter->identifier();
    }
  }
}
