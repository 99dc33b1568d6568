// The generator's parameters: the table, the dispatch to the kernel and reading back from it.
#include "PallixTestSupport.h"

TEST(PallixParameters, EachAddressReachesItsOwnKernelFieldAndReadsBackFromIt) {
  auto unit = makeUnit();
  constexpr AudioUnitParameterOptions knob = 0xC2000000, choice = 0xC0000000;
  const struct {
    const char* identifier;
    AUParameterAddress address;
    AUValue max;
    AudioUnitParameterOptions flags;
    AUValue written;
  } rows[] = {
      {"embroidery", 0, 1, knob, 0.1f},  {"easiness", 1, 1, knob, 0.2f},
      {"etiquette", 2, 1, knob, 0.3f},   {"exotica", 3, 1, knob, 0.4f},
      {"emotion", 6, 1, knob, 0.6f},     {"evolution", 7, 1, knob, 0.7f},
      {"rootNote", 4, 11, choice, 3.7f}, {"mode", 5, 1, choice, 0.99f},
  };
  const auto& parameters = unit->parameterTree()->allParameters();
  ASSERT_EQ(parameters.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    EXPECT_EQ(parameters[i]->identifier(), row.identifier);
    EXPECT_EQ(parameters[i]->address(), row.address) << row.identifier;
    EXPECT_EQ(parameters[i]->maxValue(), row.max) << row.identifier;
    EXPECT_EQ(parameters[i]->flags(), row.flags) << row.identifier;
    EXPECT_EQ(parameters[i]->unit(), row.flags == knob ? kAudioUnitParameterUnit_Generic
                                                       : kAudioUnitParameterUnit_Indexed);
    parameters[i]->setValue(row.written);
  }
  // Root Note and Mode are truncated toward zero.
  const std::vector<AUValue> stored = {0.1f, 0.2f, 0.3f, 0.4f, 0.6f, 0.7f, 3, 0};
  const Kernel& k = unit->kernel();
  EXPECT_EQ((std::vector<AUValue>{k.embroidery, k.easiness, k.etiquette, k.exotica, k.emotion,
                                  k.evolution, AUValue(k.rootNote), AUValue(k.mode)}),
            stored);
  unit->kernel().rootNote = 9; // what the kernel holds is what the host reads
  EXPECT_EQ(values(*unit), (std::vector<AUValue>{0.1f, 0.2f, 0.3f, 0.4f, 0.6f, 0.7f, 9, 0}));
  EXPECT_EQ(parameters[6]->stringFromValue(), "A");
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
