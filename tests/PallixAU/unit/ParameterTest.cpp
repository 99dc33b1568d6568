// The generator's parameters: the table, the dispatch to the kernel and reading back from it.
#include "PallixTestSupport.h"

using P = pallix::engine::PallixParameter;

TEST(PallixParameters, EachAddressReachesItsOwnKernelValueAndReadsBackFromIt) {
  auto unit = makeUnit();
  constexpr AudioUnitParameterOptions knob = 0xC2000000, choice = 0xC0000000;
  const struct {
    const char* identifier;
    P parameter;
    AUValue max;
    AudioUnitParameterOptions flags;
    AUValue written;
  } rows[] = {
      {"embroidery", P::embroidery, 1, knob, 0.1f}, {"easiness", P::easiness, 1, knob, 0.2f},
      {"etiquette", P::etiquette, 1, knob, 0.3f},   {"exotica", P::exotica, 1, knob, 0.4f},
      {"emotion", P::emotion, 1, knob, 0.6f},       {"evolution", P::evolution, 1, knob, 0.7f},
      {"rootNote", P::rootNote, 11, choice, 3.7f},  {"mode", P::mode, 1, choice, 0.99f},
  };
  const auto& parameters = unit->parameterTree()->allParameters();
  ASSERT_EQ(parameters.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    EXPECT_EQ(parameters[i]->identifier(), row.identifier);
    EXPECT_EQ(parameters[i]->address(), addressOf(row.parameter)) << row.identifier;
    EXPECT_EQ(parameters[i]->maxValue(), row.max) << row.identifier;
    EXPECT_EQ(parameters[i]->flags(), row.flags) << row.identifier;
    EXPECT_EQ(parameters[i]->unit(), row.flags == knob ? kAudioUnitParameterUnit_Generic
                                                       : kAudioUnitParameterUnit_Indexed);
    parameters[i]->setValue(row.written);
  }
  // Read back from the kernel: Root Note and Mode truncated toward zero.
  EXPECT_EQ(values(*unit), (std::vector<AUValue>{0.1f, 0.2f, 0.3f, 0.4f, 0.6f, 0.7f, 3, 0}));
  EXPECT_EQ(parameters[6]->stringFromValue(), "D#");
  EXPECT_EQ(parameters[4]->stringFromValue(), "0.600");
}

TEST(PallixParameters, AfterTheUnitIsGoneWritesDoNothingAndReadsGiveZero) {
  auto unit = makeUnit();
  const auto tree = unit->parameterTree();
  unit.reset();
  for (const auto& parameter : tree->allParameters()) {
    parameter->setValue(0.9f);
    EXPECT_EQ(parameter->value(), 0.0f) << parameter->identifier();
  }
}
