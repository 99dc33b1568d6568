// Parameters and trees: attributes, lookup, setValue with originators, implementor callbacks.
#include "platform/audiounit/AUParameterTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct Tree : ::testing::Test {
  // Tree order differs from address order, as in the generator's table.
  std::shared_ptr<AUParameter> shape = AUParameterTree::createParameter(
      "shape", "Shape", 6, 0, 1, kAudioUnitParameterUnit_Generic, std::nullopt, 0xC0000000, {}, {});
  std::shared_ptr<AUParameter> attack = AUParameterTree::createParameter(
      "attack", "Attack", 3, 0.001f, 20, kAudioUnitParameterUnit_Seconds, "s", 0xC0400000, {}, {7});
  std::shared_ptr<AUParameter> type = AUParameterTree::createParameter(
      "filterType", "Filter Type", 4, 0, 2, kAudioUnitParameterUnit_Indexed, std::nullopt,
      0xC0000000, {"LP", "BP", "HP"}, {});
  std::shared_ptr<AUParameterTree> tree = AUParameterTree::createTree({shape, attack, type});
};
} // namespace

TEST_F(Tree, FindsParametersByAddressAndIdentifierAndConvertsStrings) {
  EXPECT_EQ(tree->allParameters(), (std::vector{shape, attack, type}));
  EXPECT_EQ(tree->parameterWithAddress(4), type);
  EXPECT_EQ(tree->parameterWithAddress(5), nullptr);
  EXPECT_EQ(tree->parameterWithIdentifier("shape"), shape);
  EXPECT_EQ(tree->parameterWithIdentifier("Shape"), nullptr);

  // Strings: value strings at whole in-range indices, numbers otherwise.
  type->setValue(1);
  EXPECT_EQ(type->stringFromValue(), "BP");
  EXPECT_EQ(type->stringFromValue(1.5f), "1.5");
  EXPECT_EQ(type->stringFromValue(3.0f), "3");
  EXPECT_EQ(type->valueFromString("HP"), 2.0f);
  EXPECT_EQ(attack->valueFromString(" 0.25 s"), 0.25f);
  EXPECT_EQ(attack->valueFromString("slow"), std::nullopt);
}

TEST_F(Tree, SetValueTellsTheImplementorFirstThenEveryObserverButTheOriginator) {
  std::vector<std::string> trace;
  tree->setImplementorValueObserver([&](AUParameter& p, AUValue v) {
    trace.push_back("implementor " + p.identifier() + " " + std::to_string(int(v * 10)));
  });
  const auto editor = tree->tokenByAddingParameterObserver(
      [&](AUParameterAddress a, AUValue) { trace.push_back("editor " + std::to_string(a)); });
  const auto host = tree->tokenByAddingParameterObserver(
      [&](AUParameterAddress a, AUValue) { trace.push_back("host " + std::to_string(a)); });

  shape->setValue(0.5f, editor);
  EXPECT_EQ(trace, (std::vector<std::string>{"implementor shape 5", "host 6"}));
  trace.clear();
  attack->setValue(0.2f);
  EXPECT_EQ(trace, (std::vector<std::string>{"implementor attack 2", "editor 3", "host 3"}));
  trace.clear();
  tree->removeParameterObserver(host);
  type->setValue(2, kAUNoObserverToken);
  EXPECT_EQ(trace, (std::vector<std::string>{"implementor filterType 20", "editor 4"}));
  EXPECT_EQ(type->storedValue(), 2.0f);
}

TEST_F(Tree, GesturesReachOnlyAutomationObserversAndValueComesFromTheProvider) {
  int implementorCalls = 0, plainCalls = 0;
  std::vector<AUParameterAutomationEventType> seen;
  tree->setImplementorValueObserver([&](AUParameter&, AUValue) { ++implementorCalls; });
  tree->tokenByAddingParameterObserver([&](AUParameterAddress, AUValue) { ++plainCalls; });
  tree->tokenByAddingParameterAutomationObserver(
      [&](AUParameterAddress, AUValue, AUParameterAutomationEventType t) { seen.push_back(t); });
  using enum AUParameterAutomationEventType;
  shape->setValue(0.25f);
  shape->setValue(0.9f, kAUNoObserverToken, touch);
  shape->setValue(0.9f, kAUNoObserverToken, release);
  EXPECT_EQ(shape->value(), 0.25f);
  EXPECT_EQ(implementorCalls, 1);
  EXPECT_EQ(plainCalls, 1);
  EXPECT_EQ(seen, (std::vector{value, touch, release}));

  float kernelField = 7.0f;
  tree->setImplementorValueProvider([&](const AUParameter&) { return kernelField; });
  EXPECT_EQ(shape->value(), 7.0f);
  EXPECT_EQ(shape->storedValue(), 0.25f);
  // A host may hold a parameter longer than the unit holds its tree.
  tree.reset();
  kernelField = 3.0f;
  EXPECT_EQ(shape->value(), 3.0f);
}
