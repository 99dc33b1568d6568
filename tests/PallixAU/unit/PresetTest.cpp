// The generator unit's saved state and the presets it ships with. How factory presets are
// found, ordered and applied is the shared preset code's, tested with the synthesiser unit.
#include "PallixTestSupport.h"

TEST(PallixSavedState, AFreshUnitWithoutPresetsIsUntitledAndHoldsTheDefaults) {
  auto unit = makeGenerator();
  EXPECT_TRUE(unit->factoryPresets().empty());
  EXPECT_EQ(values(*unit), kDefaults);
  const auto& parameters = unit->parameterTree()->allParameters();
  EXPECT_EQ(parameters[6]->stringFromValue() + parameters[7]->stringFromValue(), "CMajor");
  const foundation::PropertyList state = *unit->fullState();
  EXPECT_EQ(state.find("subtype")->integer(), 0x506C7849); // PlxI
  EXPECT_EQ(*state.find("name")->string(), "Untitled");
  const foundation::PropertyList* params = state.find("pallixParams");
  ASSERT_TRUE(params && params->dictionary());
  EXPECT_EQ(params->dictionary()->size(), 8u);
  EXPECT_EQ(params->find("rootNote")->real(), 0.0);
  EXPECT_EQ(params->find("evolution")->real(), 0.5);
}

TEST(PallixFactoryPresets, TheShippedOnesEachSetAllEightParametersInRange) {
  auto unit = makeGenerator(nullptr, true);
  const auto presets = unit->factoryPresets();
  ASSERT_EQ(presets.size(), 5u);
  EXPECT_EQ(unit->currentPreset(), (AUAudioUnitPreset{0, "Slow Burn"}));
  for (const auto& preset : presets) {
    const auto file = pallix::unit::PallixAudioUnit::bundledPresets()->load(preset.number);
    const foundation::PropertyList* params = file ? file->find("pallixParams") : nullptr;
    ASSERT_TRUE(params && params->dictionary()) << preset.name;
    EXPECT_EQ(params->dictionary()->size(), 8u) << preset.name;
    unit->setCurrentPreset(preset);
    for (const auto& parameter : unit->parameterTree()->allParameters()) {
      // The value as read back: a fractional root note or mode would come back truncated.
      const AUValue value = parameter->value();
      const foundation::PropertyList* saved = params->find(parameter->identifier());
      ASSERT_TRUE(saved && saved->number()) << preset.name << ": " << parameter->identifier();
      EXPECT_EQ(value, AUValue(*saved->number())) << preset.name;
      EXPECT_TRUE(value >= parameter->minValue() && value <= parameter->maxValue())
          << preset.name << ": " << parameter->identifier();
    }
  }
}
