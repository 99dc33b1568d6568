// The generator's parameters: the table, the dispatch to the kernel and reading back from it.
#include "PallixTestSupport.h"
#include "tests/support/ParameterListing.h"

using P = pallix::engine::PallixParameter;

TEST(PallixParameters, EachAddressReachesItsOwnKernelValueAndReadsBackFromIt) {
  auto unit = makeGenerator();
  // Every attribute and display string as hosts see them, in tree order, as recorded.
  EXPECT_EQ(parameterListing(*unit->parameterTree(), pallix::engine::kPallixParameters),
            fileText(ORRINBROOK_SOURCE_DIR "/tests/data/parameters/pallix.txt"));
  const auto& parameters = unit->parameterTree()->allParameters();
  const AUValue written[] = {0.1f, 0.2f, 0.3f, 0.4f, 0.6f, 0.7f, 3.7f, 0.99f};
  ASSERT_EQ(parameters.size(), std::size(written));
  for (std::size_t i = 0; i < std::size(written); ++i)
    parameters[i]->setValue(written[i]);
  // Read back from the kernel: Root Note and Mode truncated toward zero.
  EXPECT_EQ(values(*unit), (std::vector<AUValue>{0.1f, 0.2f, 0.3f, 0.4f, 0.6f, 0.7f, 3, 0}));
  EXPECT_EQ(parameters[6]->stringFromValue(), "D#");
  EXPECT_EQ(parameters[4]->stringFromValue(), "0.600");
  // Held to the range on the way in: a root of 1e10 is B, not every note at 127.
  parameters[6]->setValue(1e10f);
  parameters[0]->setValue(-5.0f);
  EXPECT_EQ(values(*unit)[6], 11);
  EXPECT_EQ(values(*unit)[0], 0);
}

TEST(PallixParameters, AfterTheUnitIsGoneWritesDoNothingAndReadsGiveZero) {
  auto unit = makeGenerator();
  const auto tree = unit->parameterTree();
  unit.reset();
  for (const auto& parameter : tree->allParameters()) {
    parameter->setValue(0.9f);
    EXPECT_EQ(parameter->value(), 0.0f) << parameter->identifier();
  }
}
